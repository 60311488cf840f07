#pragma once
// The one place of the program's version: the resource script and the build take it
// from here (CMakeLists.txt reads the numbers below).
#define SW_VER_MAJOR 3
#define SW_VER_MINOR 0
#define SW_VER_RELEASE 0
#define SW_VER_BUILD 13
// The product version names the release line: the build number is left at 0.
#define SW_PRODUCT_VER_BUILD 0

#define SW_VER_STR2(x) #x
#define SW_VER_STR(x) SW_VER_STR2(x)
#define SW_FILE_VERSION_TEXT \
  SW_VER_STR(SW_VER_MAJOR) "." SW_VER_STR(SW_VER_MINOR) "." SW_VER_STR(SW_VER_RELEASE) "." SW_VER_STR(SW_VER_BUILD)
#define SW_PRODUCT_VERSION_TEXT \
  SW_VER_STR(SW_VER_MAJOR) "." SW_VER_STR(SW_VER_MINOR) "." SW_VER_STR(SW_VER_RELEASE) "." SW_VER_STR(SW_PRODUCT_VER_BUILD)
