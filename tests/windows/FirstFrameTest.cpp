// Each window as a user first sees it, at 96 dpi, against a picture of it taken when every skin picture was
// still decoded from its PNG and scaled as it was drawn (each platform layer draws its own). However the
// pictures reach the screen, not one pixel may differ. KELVARA_WRITE_FRAMES=DIR writes the pictures this
// build draws to DIR instead, to look at.

#include "WindowTestSupport.h"
#include "windows/alert/FormAlert.h"
#include "windows/main/FormMain.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <wincodec.h>
#else
#include <QDir>
#include <QFileInfo>
#include <QImage>
#endif

namespace t = forms::testing;

namespace {

#ifdef _WIN32
// Through the system's codecs, in a test only: the program itself decodes no PNG to show a first frame.
IWICImagingFactory* codecs() {
    static IWICImagingFactory* factory = [] {
        IWICImagingFactory* made = nullptr;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         reinterpret_cast<void**>(&made));
        return made;
    }();
    return factory;
}

std::wstring widePath(const std::string& path) {
    return std::wstring(path.begin(), path.end());
}

t::Pixels readPng(const std::string& path) {
    t::Pixels result;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* converted = nullptr;
    if (SUCCEEDED(codecs()->CreateDecoderFromFilename(widePath(path).c_str(), nullptr, GENERIC_READ,
                                                      WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, &converted))) {
        UINT width = 0, height = 0;
        converted->GetSize(&width, &height);
        result.width = static_cast<int>(width);
        result.height = static_cast<int>(height);
        result.argb.resize(static_cast<std::size_t>(width) * height);
        converted->CopyPixels(nullptr, width * 4, width * height * 4,
                              reinterpret_cast<BYTE*>(result.argb.data()));
    }
    for (IUnknown* object :
         {static_cast<IUnknown*>(converted), static_cast<IUnknown*>(frame), static_cast<IUnknown*>(decoder)})
        if (object) object->Release();
    return result;
}

bool writePng(const t::Pixels& shot, const std::string& path) {
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    std::vector<std::uint32_t> rows = shot.argb;
    const bool written =
        SUCCEEDED(codecs()->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(widePath(path).c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(codecs()->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(shot.width), static_cast<UINT>(shot.height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA &&
        SUCCEEDED(frame->WritePixels(static_cast<UINT>(shot.height), static_cast<UINT>(shot.width) * 4,
                                     static_cast<UINT>(rows.size() * 4),
                                     reinterpret_cast<BYTE*>(rows.data()))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object :
         {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder), static_cast<IUnknown*>(stream)})
        if (object) object->Release();
    return written;
}
#else
t::Pixels readPng(const std::string& path) {
    const QImage image = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
    t::Pixels result{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.argb.push_back(image.pixel(x, y));
    return result;
}

bool writePng(const t::Pixels& shot, const std::string& path) {
    QImage image(shot.width, shot.height, QImage::Format_ARGB32);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            image.setPixel(x, y, shot.at(x, y));
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    return image.save(QString::fromStdString(path));
}
#endif

void expectDrawnAsBefore(const t::Pixels& drawn, const char* name) {
    if (const char* out = std::getenv("KELVARA_WRITE_FRAMES"); out && *out) {
        ASSERT_TRUE(writePng(drawn, std::string(out) + "/" + name));
        GTEST_SKIP() << "written to " << out;
    }
    const t::Pixels before = readPng(std::string(KELVARA_FIRST_FRAMES "/") + name);
    ASSERT_GT(before.width, 0) << name;
    ASSERT_EQ(drawn.width, before.width) << name;
    ASSERT_EQ(drawn.height, before.height) << name;
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < drawn.height; ++y)
        for (int x = 0; x < drawn.width; ++x)
            if ((drawn.at(x, y) | 0xFF000000u) != (before.at(x, y) | 0xFF000000u) && differing++ == 0) {
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
