// The engine's window procedure: chooses and prepares the content when the
// saver window is created, then paints it on the frame timer and moves it on
// the move timer. Every message ends in DefaultSaverProc.
#include "engine/DisplaySize.h"
#include "engine/Engine.h"
#include "engine/FrameSurface.h"
#include "engine/FrameTimers.h"
#include "engine/Motion.h"
#include "engine/MovieFrames.h"
#include "engine/PresentDib.h"
#include "engine/RegistryPath.h"
#include "engine/Settings.h"
#include "engine/TurningPicture.h"
#include "host/Host.h"
#include "host/ScopeOwners.h"
#include "imaging/AviPlayer.h"
#include "imaging/FolderScan.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"
#include "imaging/Shortcut.h"
#include "options/Banner.h"
#include "text/DateTime.h"
#include "text/TextString.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

EngineState engine;
KBitmap currentPicture;
TextString displayText;

AVI_PLAYER moviePlayer;

namespace {

const char displayClassName[] = "C SS";
const char backgroundName[] = "<background>";
const char wallpaperPath[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper";
constexpr uint32_t fadeColour = 0x000000;
constexpr double fadeFraction = 0.25;
// White on black, in the largest font that fits, centred both ways.
constexpr COLORREF textColour = 0xFFFFFF;
constexpr COLORREF textBackground = 0x000000;
const char textOptions[] = "fill vctr hctr";

SIZE ScreenSize() {
    return SIZE{engine.clientRect.right, engine.clientRect.bottom};
}

SIZE DisplaySize() {
    return SIZE{engine.displayWidth, engine.displayHeight};
}

// Loads a picture no larger than it is going to be shown.
uint32_t LoadShownPicture(const char* path) {
    const auto decodeSize = [](SIZE picture) {
        return PictureDecodeSize(engine.layout, picture, ScreenSize(),
                                 saverSettings.rotation2D != 0, saverSettings.rotation3D != 0);
    };
    return LoadPicture(currentPicture, path, decodeSize, &engine.pictureSize);
}

void SetDisplaySize(SIZE size) {
    engine.displayWidth = size.cx;
    engine.displayHeight = size.cy;
}

// Several monitors or a preview: the saver window is not as wide as the
// primary screen.
bool CoversPrimaryScreenOnly() {
    return engine.clientRect.right == GetSystemMetrics(SM_CXSCREEN);
}

// The banner, drawn once per process.
bool LoadBanner() {
    if (!engine.bannerBitmap) {
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
            engine.bannerBitmap = bitmap.Take();  // kept for the process
    }
    engine.pictureSize = SIZE{bannerWidth, bannerHeight};
    return engine.bannerBitmap && currentPicture.LoadFromBitmap(engine.bannerBitmap) != 0;
}

void PrepareStillPicture() {
    engine.content = Content::picture;
    if (_stricmp(saverSettings.file, backgroundName) == 0) {
        // The wallpaper replaces the banner; without one there is nothing to show.
        currentPicture.Free();
        const char* wallpaper = ReadRegistryPath(wallpaperPath);
        if (wallpaper)
            LoadShownPicture(wallpaper);  // a failure leaves the picture empty
        if (currentPicture.IsEmpty())
            engine.pictureSize = SIZE{0, 0};
    }
    SetDisplaySize(PictureDisplaySize(engine.layout, engine.pictureSize,
                                      ScreenSize(), saverSettings.rotation2D != 0,
                                      saverSettings.rotation3D != 0, DisplaySize()));
    if (saverSettings.fade)
        currentPicture.FadeEdges(fadeColour, fadeFraction);
}

// Text mode: the "Text" setting with its escapes, or the clock when it is empty.
void PrepareText() {
    displayText.Assign(saverSettings.text);
    displayText.Replace("\\n", "\n", 1, 0);
    displayText.Replace("\\t", "\t", 1, 0);
    if (displayText.Length() == 0)
        engine.content = Content::clock;
    int32_t lines = 1;
    for (const char* c = displayText.Text(); *c; ++c)
        lines += *c == '\n';
    SetDisplaySize(TextDisplaySize(engine.layout,
                                   displayText.Length(), lines, ScreenSize(), DisplaySize()));
}

// A movie keeps its own size in the centred and bouncing layouts (halved
// only while it does not fit), where a picture would be doubled.
void PrepareMovie() {
    engine.content = Content::movie;
    SetDisplaySize(MovieDisplaySize(engine.layout,
                                    moviePlayer.GetFrameSize(), ScreenSize(), DisplaySize()));
}

// Imagery mode: a folder gives way to one of its entries, a shortcut to its
// target; then the file is tried as a movie, then as a picture.
bool LoadImagery() {
    PickFromFolder(saverSettings.file, std::rand);
    ResolveShortcut(saverSettings.file);
    if (moviePlayer.Open(saverSettings.file, 24)) {
        PrepareMovie();
        return true;
    }
    if (LoadShownPicture(saverSettings.file) == 0)
        return false;
    PrepareStillPicture();
    return true;
}

void CreateDisplayWindow(HWND window) {
    POINT position = CentredPosition(DisplaySize(), ScreenSize());
    engine.displayX = position.x;
    engine.displayY = position.y;

    WNDCLASSA displayClass = {};
    displayClass.lpfnWndProc = DefWindowProcA;
    displayClass.hInstance = GetModuleHandleA(nullptr);
    displayClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    displayClass.lpszClassName = displayClassName;
    RegisterClassA(&displayClass);  // fails harmlessly when an earlier run registered it

    engine.displayWindow = CreateWindowExA(0, displayClassName, "", WS_CHILD | WS_VISIBLE,
                                           engine.displayX, engine.displayY, engine.displayWidth,
                                           engine.displayHeight, window, nullptr,
                                           displayClass.hInstance, nullptr);
    // Mouse input over the display window must reach the close rules.
    if (CoversPrimaryScreenOnly())
        SetCapture(window);
}

void PrepareTurning() {
    engine.content = Content::turning;
    PrepareTurningPicture(currentPicture, saverSettings.rotation3D != 0);
}

void StartTimers(HWND window) {
    const uint32_t moviePeriod = MovieTimerPeriod(
        moviePlayer.GetFrameRate(), moviePlayer.HasVideo(), moviePlayer.FrameCount());
    TimerPlan plan = PlanTimers(engine.content, engine.layout, moviePeriod,
                                CoversPrimaryScreenOnly());
    if (plan.moveTimer)
        SetTimer(window, moveTimer, movePeriod, nullptr);
    if (plan.framePeriod)
        SetTimer(window, frameTimer, plan.framePeriod, nullptr);
}

void OnCreate(HWND window) {
    GetClientRect(window, &engine.clientRect);
    srand(GetTickCount());
    LoadSettings();
    engine.content = ContentOf(saverSettings.mode);
    engine.layout = LayoutOf(saverSettings.screenMode);

    if (engine.content == Content::imagery) {
        // When neither the file nor the banner loads, the content stays imagery
        // and nothing is painted.
        if (!LoadImagery() && LoadBanner())
            PrepareStillPicture();
    }
    // Text mode shows the text or the clock; the banner is imagery's fallback only.
    if (engine.content == Content::text)
        PrepareText();

    CreateDisplayWindow(window);
    if (engine.content == Content::picture &&
        (saverSettings.rotation2D || saverSettings.rotation3D))
        PrepareTurning();
    StartTimers(window);
    PostMessageA(window, WM_TIMER, frameTimer, 0);
}

// The turning frame: a copy of the picture, turned. Kept from frame to frame
// with the block its turns leave behind, so that no frame allocates.
KBitmap turningFrame;
// Turning and movie frames are enlarged into this and copied to the display
// window; what it cannot take is stretched by GDI.
FrameSurface frameSurface;

void PaintTurningFrame() {
    for (int axis = 0; axis < 3; ++axis)
        engine.spinAngle[axis] += engine.spinSpeed[axis];
    turningFrame.CopyFrom(currentPicture, nullptr, true);
    if (saverSettings.rotation2D)
        turningFrame.RotateInPlane(-engine.spinAngle[spinC]);
    if (saverSettings.rotation3D) {
        turningFrame.RotateAboutVerticalAxis(engine.spinAngle[spinA]);
        turningFrame.RotateAboutHorizontalAxis(engine.spinAngle[spinB]);
    }
    if (!PresentEnlarged(engine.displayWindow, frameSurface, *turningFrame.Header(),
                         turningFrame.Bits(), true, true))
        turningFrame.PaintToWindow(engine.displayWindow);
    if (engine.layout != Layout::bounce)
        NextSpinFrame(engine.spinSpeed, engine.spinFrameCount);
}

void DrawDisplayText() {
    displayText.DrawMarkupText(engine.displayWindow, nullptr, nullptr, textColour, textBackground,
                               textOptions, nullptr);
}

// The clock is redrawn only when its second has changed. When the hour
// changes, the second line changes its length: the whole window is cleared
// first, so no digits of the longer time stay behind.
void DrawClock() {
    const time_t now = time(nullptr);
    if (now == static_cast<time_t>(engine.lastClockTime))
        return;
    engine.lastClockTime = static_cast<int32_t>(time(nullptr));
    const int32_t hour = engine.lastClockTime / 3600;
    if (!engine.clockHourKnown) {
        engine.lastClockHour = hour;
        engine.clockHourKnown = true;
    }
    if (hour != engine.lastClockHour) {
        InvalidateRect(engine.displayWindow, nullptr, TRUE);
        UpdateWindow(engine.displayWindow);
    }
    engine.lastClockHour = hour;

    _tzset();
    const time_t shown = engine.lastClockTime;
    const struct tm* local = localtime(&shown);
    if (!local)
        return;
    DateTime record = {static_cast<int16_t>(local->tm_year + 1900),
                       static_cast<int16_t>(local->tm_mon + 1),
                       static_cast<int16_t>(local->tm_mday),
                       static_cast<int16_t>(local->tm_hour),
                       static_cast<int16_t>(local->tm_min),
                       static_cast<int16_t>(local->tm_sec),
                       static_cast<int16_t>(_timezone / 60)};
    AddTime(&record, unitSecond, 0);
    displayText.Assign(FormatDateTime(&record, nullptr, nullptr));
    DrawDisplayText();
}

// The faded copy of the current movie frame (the decoder owns the frame
// itself). Its block is kept from frame to frame while the frames keep their
// header: a block of a megabyte taken from the system and given back 25
// times a second costs more than the fade.
KBitmap faded;

// The frame faded into `faded`, or null.
BITMAPINFOHEADER* FadedFrame(const BITMAPINFOHEADER* frame) {
    const uint64_t size = PackedDibSize(*frame);
    if (size != 0 && size == faded.BlockSize() &&
        std::memcmp(faded.Header(), frame, sizeof *frame) == 0)
        std::memcpy(faded.Header(), frame, size);
    else if (!faded.LoadPackedDib(frame))
        return nullptr;
    faded.FadeEdges(fadeColour, fadeFraction);
    return faded.Header();
}

// The next frame, faded when asked. A frame that cannot be fetched paints
// nothing.
void PaintMovieFrame() {
    saverSettings.frameNumber = NextMovieFrame(saverSettings.frameNumber, moviePlayer.HasVideo(),
                                               moviePlayer.FrameCount());
    BITMAPINFOHEADER* frame = moviePlayer.GetFrame(saverSettings.frameNumber, false);
    // The fade copies the frame as a packed DIB, whose rows follow a plain
    // 40-byte header.
    if (frame && saverSettings.fade && frame->biSize == sizeof *frame)
        frame = FadedFrame(frame);
    // Rows right behind the header, whose size the decoder sets: 24-bit
    // frames carry no colour table.
    if (frame && frame->biClrUsed == 0 && frame->biSize >= sizeof *frame &&
        PresentEnlarged(engine.displayWindow, frameSurface, *frame,
                        reinterpret_cast<const BYTE*>(frame) + frame->biSize, false, false))
        return;
    PresentDib(engine.displayWindow, nullptr, frame, nullptr);
}

void OnFrameTick() {
    switch (engine.content) {
    case Content::movie:
        PaintMovieFrame();
        break;
    case Content::picture:
        currentPicture.PaintToWindow(engine.displayWindow);
        break;
    case Content::turning:
        PaintTurningFrame();
        break;
    case Content::text:
        DrawDisplayText();
        break;
    case Content::clock:
        DrawClock();
        break;
    default:
        break;
    }
}

void OnMoveTick(HWND window) {
    BounceState bounce = {engine.displayX, engine.displayY, engine.displayWidth,
                          engine.displayHeight, engine.velocityX, engine.velocityY,
                          {engine.spinSpeed[0], engine.spinSpeed[1], engine.spinSpeed[2]}};
    BounceStep(bounce, engine.clientRect.right, engine.clientRect.bottom);
    engine.displayX = bounce.displayX;
    engine.displayY = bounce.displayY;
    engine.velocityX = bounce.velocityX;
    engine.velocityY = bounce.velocityY;
    std::memcpy(engine.spinSpeed, bounce.spinSpeed, sizeof engine.spinSpeed);
    MoveWindow(engine.displayWindow, engine.displayX, engine.displayY, engine.displayWidth,
               engine.displayHeight, TRUE);
    if (engine.content == Content::turning || engine.content == Content::clock)
        PostMessageA(window, WM_TIMER, frameTimer, 0);
}

void OnDestroy() {
    ReleaseFrameSurface(frameSurface);
    DestroyWindow(engine.displayWindow);
    if (StoresMoviePosition(saverSettings.rewind))
        SaveSettings(true);
}

}  // namespace

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The speeds are drawn the first time the procedure runs, before
    // creation seeds the generator.
    if (!engine.spinSpeedsDrawn) {
        StartSpinSpeeds(engine.spinSpeed);
        engine.spinSpeedsDrawn = true;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_TIMER:
        if (wParam == frameTimer)
            OnFrameTick();
        else if (wParam == moveTimer)
            OnMoveTick(window);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
