// The options dialog's decisions, free of Windows: which buttons the stored
// settings check, when the effect check boxes are enabled, and what OK stores.
// OptionsDialog_win.cpp only moves these values to and from the controls.
#pragma once

#include "engine/Settings.h"

// The state of the dialog's buttons. The two edits are not here: they show
// `file` and `text` of the settings as they are.
struct OptionsChoices {
    bool fullScreen;  // radio "Full Screen", layout 'F'
    bool centred;     // radio "Centered On Screen", layout 'C'
    bool bounce;      // radio "Bounce Around Screen", layout 'B'
    bool imagery;     // radio "Imagery:", mode 'I'
    bool text;        // radio "Text:", mode 'T'
    bool rewind;      // check boxes, kept (and saved) even while disabled
    bool fade;
    bool rotation2D;
    bool rotation3D;
};

// The buttons the stored settings check. A code the dialog does not know
// (layout 'S', a damaged file) checks no button of its group.
OptionsChoices ChoicesFromSettings(const SaverSettings& settings);

// Stores the buttons into the settings record: no layout checked stores 'S'
// (stretched), no mode checked stores 'T'. File, text and the frame number
// are left alone.
void StoreChoices(const OptionsChoices& choices, SaverSettings* settings);

// The four effect check boxes (rewind, fade, the two rotations) only mean
// something for imagery: they are enabled while "Imagery:" is checked.
inline bool EffectsEnabled(bool imageryChecked) { return imageryChecked; }

// The name the file dialog starts with: what the imagery edit shows, except
// a special name such as "<background>", which is no file to start from.
void BrowseStartName(const char* shown, char (&name)[settingTextSize]);
