#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Fonts and painting need a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
