// Each window as a user first sees it, at 96 dpi, against a picture of it taken when every skin picture was
// still decoded from its PNG and scaled as it was drawn. However the pictures reach the screen, not one pixel
// may differ. KELVARA_WRITE_FRAMES=DIR writes the pictures this build draws to DIR instead, to look at.

#include "WindowTestSupport.h"
#include "windows/alert/FormAlert.h"
#include "windows/main/FormMain.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace t = forms::testing;

namespace {

QImage toImage(const t::Pixels& shot) {
    QImage image(shot.width, shot.height, QImage::Format_ARGB32);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            image.setPixel(x, y, shot.at(x, y));
    return image;
}

void expectDrawnAsBefore(const t::Pixels& shot, const char* name) {
    const QImage drawn = toImage(shot);
    if (const QString out = qEnvironmentVariable("KELVARA_WRITE_FRAMES"); !out.isEmpty()) {
        QDir().mkpath(out);
        ASSERT_TRUE(drawn.save(out + QLatin1Char('/') + QLatin1String(name)));
        GTEST_SKIP() << "written to " << out.toStdString();
    }
    const QImage before = QImage(QStringLiteral(KELVARA_FIRST_FRAMES "/") + QLatin1String(name))
                              .convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(before.isNull()) << name;
    ASSERT_EQ(drawn.size(), before.size()) << name;
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != before.pixel(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
    EXPECT_EQ(differing, 0) << name << ": first at (" << firstX << ", " << firstY << ")";
}

TEST(FirstFrame, MainWindowAsItFirstShows) {
    FormMain form;
    form.show();
    t::processEvents();
    expectDrawnAsBefore(t::grab(form), "main.png");
    form.unload();
}

// The sizes the window reaches in the grow are scaled while it runs, not packed ahead.
TEST(FirstFrame, MainWindowWithItsResults) {
    FormMain form;
    form.show();
    t::processEvents();
    enterWorkedExample(form);
    t::click(form.cmdCalculate);
    runTimers(form);
    t::processEvents();
    expectDrawnAsBefore(t::grab(form), "results.png");
    form.unload();
}

TEST(FirstFrame, AlertListingFourMessages) {
    FormAlert alert;
    alert.messageCounter = 5;
    alert.lbl.setCaption(
        "\r\nTank Capacity Is Required.\r\nMonthly Top-up Is Required.\r\nMileage Attained Is "
        "Required.\r\nFuel Price Is Required.");
    alert.show();
    t::processEvents();
    expectDrawnAsBefore(t::grab(alert), "alert.png");
    alert.unload();
}

} // namespace
