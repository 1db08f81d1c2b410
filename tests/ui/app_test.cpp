#include <gtest/gtest.h>

#include "QtApp.h"

namespace brx::test {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

namespace {
// The application must exist before any test builds a widget.
const bool kAppReady = (App(), true);
}  // namespace

}  // namespace brx::test
