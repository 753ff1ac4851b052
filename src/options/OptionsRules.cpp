#include "options/OptionsRules.h"

#include "engine/Content.h"
#include "engine/Layout.h"

#include <cstdio>

OptionsChoices ChoicesFromSettings(const SaverSettings& s) {
    OptionsChoices c{};
    const Layout layout = LayoutOf(s.screenMode);
    c.fullScreen = layout == Layout::fullScreen;
    c.centred = layout == Layout::centred;
    c.bounce = layout == Layout::bounce;
    c.imagery = ContentOf(s.mode) == Content::imagery;
    c.text = ContentOf(s.mode) == Content::text;
    c.rewind = s.rewind != 0;
    c.fade = s.fade != 0;
    c.rotation2D = s.rotation2D != 0;
    c.rotation3D = s.rotation3D != 0;
    return c;
}

void StoreChoices(const OptionsChoices& c, SaverSettings* s) {
    s->mode = c.imagery ? 'I' : 'T';
    s->screenMode = LayoutCode(c.fullScreen ? Layout::fullScreen
                               : c.centred  ? Layout::centred
                               : c.bounce   ? Layout::bounce
                                            : Layout::stretched);
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
