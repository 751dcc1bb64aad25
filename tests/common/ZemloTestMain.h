#pragma once

#include "widgets/WebBrowser.h"

#include <QApplication>
#include <QtTest>

// A test main for tests that create windows with the preview browser: the browser's URL
// scheme must be known before the application object exists.
#define ZEMLO_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                               \
        WebBrowser::registerSchemes();                                                             \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
