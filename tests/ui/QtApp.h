// Every window test runs inside one QApplication on the offscreen platform.
#pragma once

#include <QApplication>

namespace brx::test {
QApplication& App();
}
