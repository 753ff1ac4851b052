# Windows build (mingw-w64): the .scr, and under Wine its tests.
enable_language(RC)
# The version is set once, in project() of CMakeLists.txt.
configure_file(cmake/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_BINARY_DIR}/generated")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
# The saver's own code is compiled against the API of Windows 98 and NT 4, so
# that nothing newer is imported by accident: what it uses of later systems
# (WOW64, file virtualisation) it looks up at run time. The tests and their
# tools may use anything.
set(SAVER_OLD_API _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0400)
# No mingw DLLs at run time.
add_link_options(-static -static-libgcc -static-libstdc++)

set(SAVER_SYSTEM_LIBS user32 gdi32 advapi32 comctl32 comdlg32 shell32 ole32 oleaut32
    uuid vfw32 windowscodecs msimg32)

# Everything Windows-specific but the entry point, so that tests can link it.
file(GLOB WIN_SOURCES CONFIGURE_DEPENDS src/*/*_win.cpp)
list(FILTER WIN_SOURCES EXCLUDE REGEX "/WinMain_win\\.cpp$")
add_library(saver_win STATIC ${WIN_SOURCES})
target_link_libraries(saver_win PUBLIC saver_core ${SAVER_SYSTEM_LIBS})
target_include_directories(saver_win PRIVATE resources)
# The portable core calls a few platform services defined in the Windows
# halves (the picture decoder, the codecs): the two libraries depend on each other.
target_link_libraries(saver_core PUBLIC saver_win)

add_executable(VelorinScreenSaver WIN32 src/host/WinMain_win.cpp resources/VelorinScreenSaver.rc)
set_target_properties(VelorinScreenSaver PROPERTIES SUFFIX ".scr")
target_link_libraries(VelorinScreenSaver PRIVATE saver_win)
foreach(target saver_core saver_win VelorinScreenSaver)
  target_compile_definitions(${target} PRIVATE ${SAVER_OLD_API})
endforeach()
# The 32-bit saver must load on Windows 98: a function it imports that is not
# confirmed there fails the build, as does an SSE or SSE2 instruction outside
# the kernels picked at run time (...Sse2). A build of the "posix" thread
# model, for the GoogleTest suites, makes no saver.
if(SAVER_THREAD_MODEL STREQUAL "posix")
  set_target_properties(VelorinScreenSaver PROPERTIES EXCLUDE_FROM_ALL TRUE)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_command(TARGET VelorinScreenSaver POST_BUILD
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:VelorinScreenSaver>
            ${CMAKE_SOURCE_DIR}/cmake/win98-imports.txt
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-sse2.sh $<TARGET_FILE:VelorinScreenSaver>
    VERBATIM)
endif()


option(SAVER_WINDOWS_TESTS "Build the tests that run under Wine" ON)
if(NOT SAVER_WINDOWS_TESTS)
  return()
endif()

# Each build runs under the Wine of its own width, in the same 64-bit prefix.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(SAVER_WINE /usr/lib/wine/wine64)
  set(SAVER_ARCH x64)
else()
  set(SAVER_WINE /usr/lib/wine/wine)
  set(SAVER_ARCH x86)
endif()

# A build of the saver's thread model ("win32") runs the end-to-end tests on
# the .scr it made, the one that ships; a "posix" build runs the GoogleTest
# suites, which need std::mutex.
if(SAVER_THREAD_MODEL STREQUAL "posix")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(target gtest gtest_main gmock gmock_main)
    target_compile_options(${target} PRIVATE -w)
  endforeach()

  # The portable tests, built again for Windows: the same results on both.
  file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*.cpp)
  add_executable(core_tests ${NATIVE_TESTS})
  target_link_libraries(core_tests PRIVATE saver_core gtest_main)
  # Tests run inside scripts/wine-session.sh, which provides DISPLAY,
  # a throw-away WINEPREFIX and a persistent wineserver.
  add_test(NAME core_tests_wine COMMAND ${SAVER_WINE} $<TARGET_FILE:core_tests>
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})

  # In-process tests of the Win32 halves: one CTest test per source file,
  # each in a Wine prefix of its own: the tests change the registry and
  # win.ini, and one file's tests must not see another's changes. A prefix
  # costs seconds here and half a minute in the emulated 32-bit guest, so the
  # tests of one file share theirs.
  file(GLOB WIN_TESTS CONFIGURE_DEPENDS tests/win/*.cpp)
  # At the x87 precision the saver runs at, as the portable tests are.
  add_executable(win_tests ${WIN_TESTS} tests/native/X87Precision.cpp)
  target_link_libraries(win_tests PRIVATE saver_win gtest_main)
  foreach(source ${WIN_TESTS})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(STRINGS ${source} test_lines REGEX "^TEST\\(")
    set(filter "")
    foreach(line ${test_lines})
      string(REGEX REPLACE "^TEST\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\).*" "\\1.\\2" name "${line}")
      list(APPEND filter ${name})
    endforeach()
    list(JOIN filter ":" filter)
    get_filename_component(file_name ${source} NAME_WE)
    add_test(NAME ${file_name} COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/fresh-prefix.sh
             ${SAVER_WINE} $<TARGET_FILE:win_tests> --gtest_filter=${filter})
  endforeach()
  # The kept frame surface once more on a screen 16 bits deep (remote
  # sessions, some virtual machines), in a session of its own.
  add_test(NAME FrameSurface.OnASixteenBitScreen
           COMMAND env SAVER_SCREEN=1920x1080x16 bash ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh
                   ${CMAKE_SOURCE_DIR}/tests/wine/fresh-prefix.sh ${SAVER_WINE}
                   $<TARGET_FILE:win_tests> --gtest_filter=FrameSurface.*)
  return()
endif()

# Small Windows tool the end-to-end tests use to look at windows, send messages,
# play the host of a preview, make shell shortcuts and watch a screen pixel.
add_executable(winprobe tests/wine/winprobe.cpp)
target_link_libraries(winprobe PRIVATE user32 gdi32 ole32 uuid)

# Times the system's part of a movie frame and of a clock redraw.
add_executable(frametimes bench/wine/frametimes.cpp)
target_link_libraries(frametimes PRIVATE saver_win)

# The reference for picture loading: the Windows Imaging Component's own
# decode and scale of a picture, timed (scripts/measure-picture.sh).
add_executable(decodescale bench/wine/decodescale.cpp)
target_link_libraries(decodescale PRIVATE ole32 uuid)

# The Windows 9x password libraries, as the password tests stand them in. They
# export their functions undecorated, as the system's own do.
foreach(library PASSWORD.CPL MPR.DLL)
  string(REPLACE "." ";" parts ${library})
  list(GET parts 0 base)
  list(GET parts 1 extension)
  add_library(test_${base} SHARED tests/wine/systemlibs.cpp)
  set_target_properties(test_${base} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ".${extension}")
  target_link_options(test_${base} PRIVATE -Wl,--kill-at)
endforeach()

# Counts the running saver's GDI, USER and kernel objects, for the soak test.
add_executable(resourceprobe tests/wine/resourceprobe.cpp)
target_link_libraries(resourceprobe PRIVATE user32 ntdll)

# What the end-to-end tests are told: the saver, the helper programs, and the
# Wine that runs them.
set(E2E_ENVIRONMENT
  "SAVER_SCR=$<TARGET_FILE:VelorinScreenSaver>"
  "SAVER_PROBE=$<TARGET_FILE:winprobe>"
  "SAVER_PASSWORD_CPL=$<TARGET_FILE:test_PASSWORD>"
  "SAVER_MPR_DLL=$<TARGET_FILE:test_MPR>"
  "SAVER_WINE=${SAVER_WINE}"
  "SAVER_ARCH=${SAVER_ARCH}")
file(GLOB WINE_E2E CONFIGURE_DEPENDS tests/wine/test_*.py)
# The setup program holds both savers: scripts/test.sh runs its test once
# both builds are done.
list(FILTER WINE_E2E EXCLUDE REGEX "/test_setup\\.py$")
# The time limit only stops a hung run: each test's waits bound its failures,
# and in scripts/vm32.sh's emulated guest a file's tests take several times longer.
foreach(script ${WINE_E2E})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME ${name} COMMAND /usr/bin/python3 -m pytest -q -p no:cacheprovider ${script})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${E2E_ENVIRONMENT}" TIMEOUT 3600)
endforeach()
