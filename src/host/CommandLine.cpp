#include "host/CommandLine.h"

const char* SkipProgramName(const char* commandLine, NextCharFunction next) {
    const char* p = commandLine;
    if (*p == '"') {
        p = next(p);
        while (*p && *p != '"')
            p = next(p);
        if (*p == '"')
            p = next(p);
    } else {
        while (static_cast<unsigned char>(*p) > ' ')
            p = next(p);
    }
    while (*p && static_cast<unsigned char>(*p) <= ' ')
        p = next(p);
    return p;
}

uint32_t ParseDecimal(const char* text) {
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    return value;
}

static const char* SkipSpaces(const char* p) {
    while (*p == ' ')
        ++p;
    return p;
}

SaverSwitch ReadSaverSwitch(const char* arguments) {
    const char* p = arguments;
    while (*p == ' ' || *p == '-' || *p == '/')
        ++p;
    switch (*p) {
    case '\0':
        return {SaverRole::NoSwitch, 0};
    case 'S':
    case 's':
        return {SaverRole::FullScreen, 0};
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        return {SaverRole::Preview, ParseDecimal(SkipSpaces(p + 1))};
    case 'C':
    case 'c':
        ++p;
        return {SaverRole::Configure, *p == ':' ? ParseDecimal(p + 1) : 0};
    case 'A':
    case 'a':
        return {SaverRole::ChangePassword, ParseDecimal(SkipSpaces(p + 1))};
    default:
        return {SaverRole::Invalid, 0};
    }
}
