// Resource numbers shared by the resource script and the code.
#pragma once

#define IDI_SAVER 100
#define IDD_OPTIONS 2003
