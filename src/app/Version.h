#pragma once
// The one place of the program's version; the resource script takes it from here.
#define SW_VER_MAJOR 3
#define SW_VER_MINOR 0
#define SW_VER_RELEASE 0
#define SW_VER_BUILD 13
#define SW_FILE_VERSION_TEXT "3.0.0.13"
#define SW_PRODUCT_VERSION_TEXT "3.0.0.0"
