#pragma once
#include <QApplication>

#include "display/DialogFont.h"

// The one QApplication of a test process, made on first use (offscreen platform from ctest).
inline void EnsureTestApplication() {
    static int argc = 1;
    static char name[] = "hollowmere-test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        new QApplication(argc, argv);
        // As the programs do.
        UseDialogFontEverywhere();
    }
}
