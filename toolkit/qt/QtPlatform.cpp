#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Metrics.h"
#include "toolkit/Native.h"
#include "toolkit/qt/ControlAccessible.h"
#include "toolkit/qt/PlatformChoice.h"
#include "toolkit/qt/QtSkin.h"
#include "toolkit/qt/QtWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace forms {

namespace {

// Re-armed each tick against a running deadline, so the average period holds although Qt timers count in
// whole milliseconds.
class QtTimer : public NativeTimer {
public:
    QtTimer(Timer& timer, std::chrono::microseconds period)
        : timer_(timer)
        , period_(period)
        , qtimer_(new QTimer) {
        qtimer_->setSingleShot(true);
        qtimer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer_, &QTimer::timeout, [this] { fire(); });
        next_ = std::chrono::steady_clock::now() + period_;
        arm();
    }
    ~QtTimer() override {
        // The timer may be switched off from its own tick.
        qtimer_->stop();
        qtimer_->deleteLater();
    }

private:
    void arm() {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            next_ - std::chrono::steady_clock::now() + std::chrono::microseconds(500));
        qtimer_->start(std::max(wait, std::chrono::milliseconds(0)));
    }
    void fire() {
        next_ += period_;
        // After a stall, tick on from now rather than catching up in a burst.
        if (next_ < std::chrono::steady_clock::now()) next_ = std::chrono::steady_clock::now() + period_;
        arm();
        timer_.tick(); // may destroy this object
    }

    Timer& timer_;
    std::chrono::microseconds period_;
    std::chrono::steady_clock::time_point next_;
    QTimer* qtimer_;
};

} // namespace

struct Application::Impl {
    // Qt keeps reading the arguments it was given for as long as the application lives.
    int argc = 0;
    std::vector<char*> argv;
    std::string platform;
    std::unique_ptr<QApplication> app;
};

Application::Application(int& argc, char** argv)
    : impl_(std::make_unique<Impl>()) {
    // Whole scale factors keep the pixel art crisp on high-dpi screens.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    qt::useEmbeddedFontsOnly();
    // X11's window class comes from the application name; the desktop matches it to the desktop entry.
    QCoreApplication::setApplicationName(QStringLiteral(KELVARA_APP_ID));
    impl_->argv.assign(argv, argv + argc);
    // An argument rather than the environment, so that programs started from here (the browser) choose
    // their own path.
    const qt::StartEnvironment environment = qt::startEnvironment(argc, argv);
    // Qt would abort with advice to reinstall.
    if (const std::string missing = qt::noDisplay(environment); !missing.empty()) {
        std::fprintf(stderr, "kelvara-calculator: %s\n", missing.c_str());
        std::exit(1);
    }
    impl_->platform = qt::chooseQtPlatform(environment);
    if (!impl_->platform.empty()) {
        static char option[] = "-platform";
        impl_->argv.insert(impl_->argv.end(), {option, impl_->platform.data()});
    }
    impl_->argc = static_cast<int>(impl_->argv.size());
    impl_->argv.push_back(nullptr);
    impl_->app = std::make_unique<QApplication>(impl_->argc, impl_->argv.data());
    // The classic sunken text boxes, without a coloured focus ring over the skin's own focus colour.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QGuiApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVARA_APP_ID));
    // A steady text cursor: an idle calculator should not wake up twice a second to blink it.
    QApplication::setCursorFlashTime(0);
    qt::loadFonts();
    QAccessible::installFactory(qt::ControlAccessible::create);
    // The default font is one of the program's own: a text box lays out its empty text in it before taking
    // its design's font, and a family the desktop would name has no face here, so finding it searches them
    // all.
    QApplication::setFont(QFont(QString::fromLatin1(embeddedFaces().front().family)));
}

Application::~Application() = default;

int Application::run() {
    return QApplication::exec();
}

std::unique_ptr<NativeWindow> platform::createWindow(Form& form) {
    return std::make_unique<qt::QtWindow>(form);
}

std::unique_ptr<NativeTimer> platform::startTimer(Timer& timer, std::chrono::microseconds period) {
    return std::make_unique<QtTimer>(timer, period);
}

Form* platform::activeForm() {
    auto* widget = dynamic_cast<qt::FormWidget*>(QApplication::activeWindow());
    return widget ? widget->form() : nullptr;
}

void platform::runModalLoop(const Form& form) {
    QEventLoop loop;
    while (form.isLoaded())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

void platform::fatalError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Kelvara Calculator"), QString::fromStdString(text),
                    QMessageBox::Ok);
    if (hooks().fatalErrorBoxShowing) hooks().fatalErrorBoxShowing();
    box.exec();
    std::fflush(nullptr);
    std::_Exit(1);
}

void platform::exitProcess(int status) {
    std::_Exit(status);
}

void platform::openUrl(const std::string& address) {
    // Hands the address to the desktop's handler without waiting for it.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

void platform::post(std::function<void()> action) {
    QTimer::singleShot(0, qApp, std::move(action));
}

} // namespace forms
