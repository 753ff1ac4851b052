// The engine's window procedure: chooses and prepares the content when the
// saver window is created, then paints it on the frame timer and moves it on
// the move timer. Every message ends in the host's DefaultSaverProc, handed
// down with it. Each saver window has a record of its own, so a second window
// in the process (a preview beside a full-screen run) shares nothing with the
// first.
#include "effects/Banner.h"
#include "engine/DisplaySize.h"
#include "engine/Engine.h"
#include "engine/FrameSurface.h"
#include "engine/FrameTimers.h"
#include "engine/Motion.h"
#include "engine/MovieSource.h"
#include "engine/PresentDib.h"
#include "engine/RegistryPath.h"
#include "engine/Settings.h"
#include "engine/TurningPicture.h"
#include "imaging/FolderScan.h"
#include "imaging/KBitmap.h"
#include "imaging/MovieFrames.h"
#include "imaging/PictureFile.h"
#include "imaging/Shortcut.h"
#include "platform/ScopeOwners.h"
#include "text/DateTime.h"
#include "text/TextString.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace {

// Everything one saver window has: made when the window is created, reached
// through its user data, deleted when it is destroyed.
struct Saver {
    SaverSettings settings;             // as loaded at creation; never changed after
    char imageryPath[settingTextSize];  // "File", or what its folder or shortcut gave
    int32_t movieFrame;                 // the movie frame shown last; "FrameNumber" at start
    EngineState engine;
    MovieSource movie;  // an AVI, or what Media Foundation plays
    // The picture shown; the turning frames are copies of it.
    KBitmap picture;
    // The turning frame: a copy of the picture, turned. Kept from frame to
    // frame with the block its turns leave behind, so that no frame allocates.
    KBitmap turningFrame;
    // The faded copy of the current movie frame (the decoder owns the frame
    // itself). Its block is kept from frame to frame while the frames keep
    // their header: a block of a megabyte taken from the system and given
    // back 25 times a second costs more than the fade.
    KBitmap faded;
    // Turning and movie frames are enlarged into this and copied to the
    // display window; what it cannot take is stretched by GDI.
    FrameSurface frameSurface;
    // What the text and clock screens draw: the "Text" setting with its
    // escapes replaced, or the clock's date and time.
    TextString text;
};

// The banner, 640 x 80, 32 bits: drawn once for the process on first need and
// never freed, as any window that falls back to it shows the same.
HBITMAP bannerBitmap;

const char displayClassName[] = "C SS";
const char backgroundName[] = "<background>";
const char wallpaperPath[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper";
constexpr uint32_t fadeColour = 0x000000;
constexpr double fadeFraction = 0.25;
// White on black, in the largest font that fits, centred both ways.
constexpr COLORREF textColour = 0xFFFFFF;
constexpr COLORREF textBackground = 0x000000;
const char textOptions[] = "fill vctr hctr";

const char* NextAnsiChar(const char* text) { return CharNextA(text); }

SIZE ScreenSize(const Saver& s) { return SIZE{s.engine.clientRect.right, s.engine.clientRect.bottom}; }

SIZE DisplaySize(const Saver& s) { return SIZE{s.engine.displayWidth, s.engine.displayHeight}; }

// Loads a picture no larger than it is going to be shown.
uint32_t LoadShownPicture(Saver& s, const char* path) {
    const auto decodeSize = [&s](SIZE picture) {
        return PictureDecodeSize(s.engine.layout, picture, ScreenSize(s), s.settings.rotation2D != 0,
                                 s.settings.rotation3D != 0);
    };
    return LoadPicture(s.picture, path, decodeSize, &s.engine.pictureSize);
}

void SetDisplaySize(Saver& s, SIZE size) {
    s.engine.displayWidth = size.cx;
    s.engine.displayHeight = size.cy;
}

// Several monitors or a preview: the saver window is not as wide as the
// primary screen.
bool CoversPrimaryScreenOnly(const Saver& s) { return s.engine.clientRect.right == GetSystemMetrics(SM_CXSCREEN); }

// The banner, drawn once per process.
bool LoadBanner(Saver& s) {
    if (!bannerBitmap) {
        // A DC like the screen's; the screen's own goes back at once.
        const MemoryDC memory(CreateCompatibleDC(WindowDC(nullptr).Get()));
        void* pixels = nullptr;
        GdiObject<HBITMAP> bitmap;
        if (memory)
            bitmap.Reset(CreateDibSection32(memory.Get(), bannerWidth, bannerHeight, &pixels));
        bool drawn = false;
        if (bitmap) {
            // Selected for the drawing only: GetDIBits reads no bitmap that
            // is still selected into a DC.
            const SelectedObject selection(memory.Get(), bitmap.Get());
            if (selection) {
                RECT area = {0, 0, bannerWidth, bannerHeight};
                DrawBanner(nullptr, memory.Get(), 0, 0, &area);
                drawn = true;
            }
        }
        if (drawn)
            bannerBitmap = bitmap.Take();  // kept for the process
    }
    s.engine.pictureSize = SIZE{bannerWidth, bannerHeight};
    return bannerBitmap && s.picture.LoadFromBitmap(bannerBitmap) != 0;
}

void PrepareStillPicture(Saver& s) {
    s.engine.content = Content::picture;
    if (_stricmp(s.imageryPath, backgroundName) == 0) {
        // The wallpaper replaces the banner; without one there is nothing to show.
        s.picture.Free();
        const char* wallpaper = ReadRegistryPath(wallpaperPath);
        if (wallpaper)
            LoadShownPicture(s, wallpaper);  // a failure leaves the picture empty
        if (s.picture.IsEmpty())
            s.engine.pictureSize = SIZE{0, 0};
    }
    SetDisplaySize(s, PictureDisplaySize(s.engine.layout, s.engine.pictureSize, ScreenSize(s),
                                         s.settings.rotation2D != 0, s.settings.rotation3D != 0, DisplaySize(s)));
    if (s.settings.fade)
        s.picture.FadeEdges(fadeColour, fadeFraction);
}

// Text mode: the "Text" setting with its escapes, or the clock when it is empty.
void PrepareText(Saver& s) {
    s.text.Assign(s.settings.text);
    ReplaceEscapes(s.text, NextAnsiChar);
    if (s.text.Length() == 0)
        s.engine.content = Content::clock;
    int32_t lines = 1;
    for (const char* c = s.text.Text(); *c; ++c)
        lines += *c == '\n';
    SetDisplaySize(s, TextDisplaySize(s.engine.layout, s.text.Length(), lines, ScreenSize(s), DisplaySize(s)));
}

// A movie keeps its own size in the centred and bouncing layouts (halved
// only while it does not fit), where a picture would be doubled.
void PrepareMovie(Saver& s) {
    s.engine.content = Content::movie;
    SetDisplaySize(s, MovieDisplaySize(s.engine.layout, s.movie.GetFrameSize(), ScreenSize(s), DisplaySize(s)));
}

// Imagery mode: a folder gives way to one of its entries, a shortcut to its
// target; then the file is tried as a movie, then as a picture.
bool LoadImagery(Saver& s) {
    std::memcpy(s.imageryPath, s.settings.file, sizeof s.imageryPath);
    PickFromFolder(s.imageryPath, std::rand);
    ResolveShortcut(s.imageryPath);
    if (s.movie.Open(s.imageryPath, 24)) {
        PrepareMovie(s);
        return true;
    }
    if (LoadShownPicture(s, s.imageryPath) == 0)
        return false;
    PrepareStillPicture(s);
    return true;
}

void CreateDisplayWindow(Saver& s, HWND window) {
    POINT position = CentredPosition(DisplaySize(s), ScreenSize(s));
    s.engine.displayX = position.x;
    s.engine.displayY = position.y;

    WNDCLASSA displayClass = {};
    displayClass.lpfnWndProc = DefWindowProcA;
    displayClass.hInstance = GetModuleHandleA(nullptr);
    displayClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    displayClass.lpszClassName = displayClassName;
    RegisterClassA(&displayClass);  // fails harmlessly when an earlier run registered it

    s.engine.displayWindow = CreateWindowExA(0, displayClassName, "", WS_CHILD | WS_VISIBLE, s.engine.displayX,
                                             s.engine.displayY, s.engine.displayWidth, s.engine.displayHeight, window,
                                             nullptr, displayClass.hInstance, nullptr);
    // Mouse input over the display window must reach the close rules.
    if (CoversPrimaryScreenOnly(s))
        SetCapture(window);
}

void PrepareTurning(Saver& s) {
    s.engine.content = Content::turning;
    PrepareTurningPicture(s.picture, s.settings.rotation3D != 0);
}

void StartTimers(const Saver& s, HWND window) {
    const uint32_t moviePeriod = MovieTimerPeriod(s.movie.GetFrameRate(), s.movie.HasVideo(), s.movie.FrameCount());
    TimerPlan plan = PlanTimers(s.engine.content, s.engine.layout, moviePeriod, CoversPrimaryScreenOnly(s));
    if (plan.moveTimer)
        SetTimer(window, moveTimer, movePeriod, nullptr);
    if (plan.framePeriod)
        SetTimer(window, frameTimer, plan.framePeriod, nullptr);
}

void OnCreate(Saver& s, HWND window) {
    GetClientRect(window, &s.engine.clientRect);
    // Drawn before the generator is seeded.
    StartSpinSpeeds(s.engine.spinSpeed);
    srand(GetTickCount());
    LoadSettings(s.settings);
    s.movieFrame = s.settings.frameNumber;
    s.engine.content = ContentOf(s.settings.mode);
    s.engine.layout = LayoutOf(s.settings.screenMode);

    if (s.engine.content == Content::imagery) {
        // When neither the file nor the banner loads, the content stays imagery
        // and nothing is painted.
        if (!LoadImagery(s) && LoadBanner(s))
            PrepareStillPicture(s);
    }
    // Text mode shows the text or the clock; the banner is imagery's fallback only.
    if (s.engine.content == Content::text)
        PrepareText(s);

    CreateDisplayWindow(s, window);
    if (s.engine.content == Content::picture && (s.settings.rotation2D || s.settings.rotation3D))
        PrepareTurning(s);
    StartTimers(s, window);
    PostMessageA(window, WM_TIMER, frameTimer, 0);
}

void PaintTurningFrame(Saver& s) {
    for (int axis = 0; axis < 3; ++axis)
        s.engine.spinAngle[axis] += s.engine.spinSpeed[axis];
    s.turningFrame.CopyFrom(s.picture, nullptr, true);
    if (s.settings.rotation2D)
        s.turningFrame.RotateInPlane(-s.engine.spinAngle[spinC]);
    if (s.settings.rotation3D) {
        s.turningFrame.RotateAboutVerticalAxis(s.engine.spinAngle[spinA]);
        s.turningFrame.RotateAboutHorizontalAxis(s.engine.spinAngle[spinB]);
    }
    if (!PresentEnlarged(s.engine.displayWindow, s.frameSurface, *s.turningFrame.Header(), s.turningFrame.Bits(), true,
                         true))
        s.turningFrame.PaintToWindow(s.engine.displayWindow);
    if (s.engine.layout != Layout::bounce)
        NextSpinFrame(s.engine.spinSpeed, s.engine.spinFrameCount);
}

void DrawDisplayText(Saver& s) {
    s.text.DrawMarkupText(s.engine.displayWindow, nullptr, nullptr, textColour, textBackground, textOptions, nullptr);
}

// The clock is redrawn only when its second has changed. When the hour
// changes, the second line changes its length: the whole window is cleared
// first, so no digits of the longer time stay behind.
void DrawClock(Saver& s) {
    const time_t now = time(nullptr);
    if (now == static_cast<time_t>(s.engine.lastClockTime))
        return;
    s.engine.lastClockTime = static_cast<int32_t>(time(nullptr));
    const int32_t hour = s.engine.lastClockTime / 3600;
    if (!s.engine.clockHourKnown) {
        s.engine.lastClockHour = hour;
        s.engine.clockHourKnown = true;
    }
    if (hour != s.engine.lastClockHour) {
        InvalidateRect(s.engine.displayWindow, nullptr, TRUE);
        UpdateWindow(s.engine.displayWindow);
    }
    s.engine.lastClockHour = hour;

    _tzset();
    const time_t shown = s.engine.lastClockTime;
    const struct tm* local = localtime(&shown);
    if (!local)
        return;
    DateTime record = {static_cast<int16_t>(local->tm_year + 1900), static_cast<int16_t>(local->tm_mon + 1),
                       static_cast<int16_t>(local->tm_mday),        static_cast<int16_t>(local->tm_hour),
                       static_cast<int16_t>(local->tm_min),         static_cast<int16_t>(local->tm_sec),
                       static_cast<int16_t>(_timezone / 60)};
    AddTime(&record, unitSecond, 0);
    s.text.Assign(FormatDateTime(&record, nullptr, nullptr));
    DrawDisplayText(s);
}

// The frame faded into `faded`, or null.
BITMAPINFOHEADER* FadedFrame(KBitmap& faded, const BITMAPINFOHEADER* frame) {
    const uint64_t size = PackedDibSize(*frame);
    if (size != 0 && size == faded.BlockSize() && std::memcmp(faded.Header(), frame, sizeof *frame) == 0)
        std::memcpy(faded.Header(), frame, size);
    else if (!faded.LoadPackedDib(frame))
        return nullptr;
    faded.FadeEdges(fadeColour, fadeFraction);
    return faded.Header();
}

// The next frame, faded when asked. A frame that cannot be fetched paints
// nothing.
void PaintMovieFrame(Saver& s) {
    s.movieFrame = NextMovieFrame(s.movieFrame, s.movie.HasVideo(), s.movie.FrameCount());
    BITMAPINFOHEADER* frame = s.movie.GetFrame(s.movieFrame, false);
    // The fade copies the frame as a packed DIB, whose rows follow a plain
    // 40-byte header.
    if (frame && s.settings.fade && frame->biSize == sizeof *frame)
        frame = FadedFrame(s.faded, frame);
    // Rows right behind the header, whose size the decoder sets: 24-bit
    // frames carry no colour table.
    if (frame && frame->biClrUsed == 0 && frame->biSize >= sizeof *frame &&
        PresentEnlarged(s.engine.displayWindow, s.frameSurface, *frame,
                        reinterpret_cast<const BYTE*>(frame) + frame->biSize, false, false))
        return;
    PresentDib(s.engine.displayWindow, nullptr, frame, nullptr);
}

void OnFrameTick(Saver& s) {
    switch (s.engine.content) {
    case Content::movie:
        PaintMovieFrame(s);
        break;
    case Content::picture:
        s.picture.PaintToWindow(s.engine.displayWindow);
        break;
    case Content::turning:
        PaintTurningFrame(s);
        break;
    case Content::text:
        DrawDisplayText(s);
        break;
    case Content::clock:
        DrawClock(s);
        break;
    default:
        break;
    }
}

void OnMoveTick(Saver& s, HWND window) {
    BounceState bounce = {s.engine.displayX,
                          s.engine.displayY,
                          s.engine.displayWidth,
                          s.engine.displayHeight,
                          s.engine.velocityX,
                          s.engine.velocityY,
                          {s.engine.spinSpeed[0], s.engine.spinSpeed[1], s.engine.spinSpeed[2]}};
    BounceStep(bounce, s.engine.clientRect.right, s.engine.clientRect.bottom);
    s.engine.displayX = bounce.displayX;
    s.engine.displayY = bounce.displayY;
    s.engine.velocityX = bounce.velocityX;
    s.engine.velocityY = bounce.velocityY;
    std::memcpy(s.engine.spinSpeed, bounce.spinSpeed, sizeof s.engine.spinSpeed);
    MoveWindow(s.engine.displayWindow, s.engine.displayX, s.engine.displayY, s.engine.displayWidth,
               s.engine.displayHeight, TRUE);
    if (s.engine.content == Content::turning || s.engine.content == Content::clock)
        PostMessageA(window, WM_TIMER, frameTimer, 0);
}

// The movie position is the one setting the engine writes back.
void OnDestroy(const Saver& s) {
    DestroyWindow(s.engine.displayWindow);
    if (StoresMoviePosition(s.settings.rewind)) {
        SaverSettings stored = s.settings;
        stored.frameNumber = s.movieFrame;
        SaveSettings(stored, true);
    }
}

Saver* SaverOf(HWND window) { return reinterpret_cast<Saver*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

}  // namespace

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, SaverDefaultProc defaultProc) {
    if (message == WM_CREATE) {
        Saver* saver = new (std::nothrow) Saver();
        if (!saver)
            return -1;  // the window is not created
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
        OnCreate(*saver, window);
    } else if (Saver* saver = SaverOf(window)) {
        switch (message) {
        case WM_TIMER:
            if (wParam == frameTimer)
                OnFrameTick(*saver);
            else if (wParam == moveTimer)
                OnMoveTick(*saver, window);
            break;
        case WM_DESTROY:
            OnDestroy(*saver);
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete saver;
            break;
        }
    }
    return defaultProc(window, message, wParam, lParam);
}
