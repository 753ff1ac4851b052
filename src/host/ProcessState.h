// What the whole process shares. Everything a saver window shows and times
// lives in that window's own record (SaverWindowProc_win.cpp); what is here
// either belongs to the process itself or must be the same for every window
// and dialog in it. Each is zero (or its stated value) at start and defined
// beside the code that sets it. A few files keep private statics of the same
// kind, each with its reason: the banner bitmap, the options dialog's banner
// step, the host window's cursor and input-method state, the password
// verifier.
#pragma once

#include "WinTypes.h"
#include "engine/RegistryPath.h"
#include "engine/SettingsText.h"

// The module, for resources and window classes.
extern HINSTANCE hostInstance;

// Read once at start; the password rules differ on Windows 9x.
extern bool onWindows9x;  // GetVersionExA reports VER_PLATFORM_WIN32_WINDOWS

// The role the command line chose: one per process.
extern bool isPreview;  // running as the child of a preview window

// The close is the process's end: once the password is accepted, nothing may
// hold it up, whatever window the next message goes to.
extern bool isClosing;           // the close was accepted; everything takes the default path
extern bool isCheckingPassword;  // a password check is in progress

// One settings file for the process, chosen by ChooseSettingsFile at the
// host's start: the saver and the options dialog must read and write the same
// file. When win.ini has an entry [Folders] VelorinTools, `dataFolder` holds
// it and the settings live in ".\VelorinTools.ini" (in the data folder, once
// EnterDataFolder has made it current); otherwise `dataFolder` is empty and
// they live in "win.ini", or, in the 64-bit build, in
// "%APPDATA%\VelorinScreenSaver\VelorinTools.ini" (win.ini when that path is
// too long), whose folder the first save makes.
extern const char* settingsFileName;
extern char dataFolder[folderPathSize];

// The result buffer of ReadRegistryPath calls that give none; each such call
// overwrites it.
extern char registryTextBuffer[registryPathSize];
