#include "options/OptionsRules.h"

#include <cstdio>

OptionsChoices ChoicesFromSettings(const SaverSettings& s) {
    OptionsChoices c{};
    c.fullScreen = s.screenMode == 'F';
    c.centred = s.screenMode == 'C';
    c.bounce = s.screenMode == 'B';
    c.imagery = s.mode == 'I';
    c.text = s.mode == 'T';
    c.rewind = s.rewind != 0;
    c.fade = s.fade != 0;
    c.rotation2D = s.rotation2D != 0;
    c.rotation3D = s.rotation3D != 0;
    return c;
}

void StoreChoices(const OptionsChoices& c, SaverSettings* s) {
    s->mode = c.imagery ? 'I' : 'T';
    s->screenMode = c.fullScreen ? 'F' : c.centred ? 'C' : c.bounce ? 'B' : 'S';
    s->rewind = c.rewind;
    s->fade = c.fade;
    s->rotation2D = c.rotation2D;
    s->rotation3D = c.rotation3D;
}

void BrowseStartName(const char* shown, char (&name)[settingTextSize]) {
    if (!shown || shown[0] == '<')
        shown = "";
    snprintf(name, sizeof name, "%.*s", static_cast<int>(settingTextSize - 1), shown);
}
