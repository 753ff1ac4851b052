// Resource numbers shared by the resource script and the code.
#pragma once

#define IDI_SAVER 100
#define IDD_OPTIONS 2003

// Controls of the options dialog.
#define IDC_FULL_SCREEN 1001
#define IDC_REWIND 1002
#define IDC_WEB_SITE 1003
#define IDC_BROWSE 1004
#define IDC_INSTALL 1005
#define IDC_FILE 1006
#define IDC_TEXT 1007
#define IDC_CENTRED 1008
#define IDC_BOUNCE 1009
#define IDC_IMAGERY 1010
#define IDC_ROTATION_2D 1011
#define IDC_TEXT_MODE 1012
#define IDC_ROTATION_3D 1013
#define IDC_FADE 1014
#define IDC_BANNER 1017

// The maker's web site: the button shows the host name and opens the address.
#define WEB_SITE_NAME "www.velorin.example"
#define WEB_SITE_ADDRESS "https://www.velorin.example/"
