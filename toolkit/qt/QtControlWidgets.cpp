#include "toolkit/qt/QtControlWidgets.h"

#include "toolkit/Hooks.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/TextLayout.h"
#include "toolkit/qt/QtSkin.h"
#include "toolkit/qt/QtWindow.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

namespace forms::qt {

int buttonState(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? LeftButton : 0) | (buttons & Qt::RightButton ? RightButton : 0) |
           (buttons & Qt::MiddleButton ? MiddleButton : 0);
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? ShiftMask : 0) |
           (modifiers & Qt::ControlModifier ? ControlMask : 0) | (modifiers & Qt::AltModifier ? AltMask : 0);
}

PointerEvent pointerEvent(const QtWindow& window, const QWidget& surface, const QMouseEvent& event,
                          int button) {
    const QPointF origin = window.placedPixels() + surface.mapTo(surface.window(), QPoint(0, 0));
    const QPointF local = event.globalPosition() - origin;
    return PointerEvent{button, shiftState(event.modifiers()), toTwips(local.x()), toTwips(local.y())};
}

LabelWidget::LabelWidget(Control& control, QtWindow& window, QWidget* parent)
    : ControlWidget<QLabel>(control, window, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
}

namespace {

// The paragraph as one unbroken line, with the widened space runs.
std::unique_ptr<QTextLayout> unbroken(const QString& paragraph, const QFont& font) {
    auto layout = std::make_unique<QTextLayout>(paragraph, font);
    layout->setFormats(spaceRunFormats(paragraph, font));
    layout->beginLayout();
    QTextLine line = layout->createLine();
    line.setNumColumns(static_cast<int>(paragraph.size()));
    layout->endLayout();
    return layout;
}

// Each UTF-16 unit's advance in the line.
std::vector<double> advances(const QTextLayout& layout) {
    const QTextLine line = layout.lineAt(0);
    std::vector<double> result(static_cast<std::size_t>(layout.text().size()));
    for (int i = 0; i < layout.text().size(); ++i)
        result[static_cast<std::size_t>(i)] = line.cursorToX(i + 1) - line.cursorToX(i);
    return result;
}

} // namespace

// Breaks and wraps as the toolkit lays captions out; whatever falls outside the label is cut off by the
// painter. The layout is kept until the caption, font or width changes: labels are drawn again on every tick
// they move.
void LabelWidget::layOut() {
    layouts_.clear();
    lineCount_ = 0;
    laidOutText_ = text();
    laidOutFont_ = font();
    laidOutWidth_ = width();
    qreal y = 0;
    const std::u16string_view caption(reinterpret_cast<const char16_t*>(laidOutText_.utf16()),
                                      static_cast<std::size_t>(laidOutText_.size()));
    for (const std::u16string& units : text::paragraphs(caption)) {
        const QString paragraph = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
        std::unique_ptr<QTextLayout> measured = unbroken(paragraph, laidOutFont_);
        // Most captions are one line that fits: the measured line is the one drawn, shaped once, and no
        // character needs measuring on its own.
        QTextLine whole = measured->lineAt(0);
        if (whole.cursorToX(static_cast<int>(paragraph.size())) - whole.cursorToX(0) <= laidOutWidth_) {
            whole.setPosition(QPointF(0, y));
            y += whole.height();
            ++lineCount_;
            layouts_.push_back(std::move(measured));
            continue;
        }
        const std::vector<text::Range> lines =
            text::wrap(std::u16string_view(units), advances(*measured), laidOutWidth_);
        auto& layout = layouts_.emplace_back(std::make_unique<QTextLayout>(paragraph, laidOutFont_));
        layout->setFormats(spaceRunFormats(paragraph, laidOutFont_));
        layout->beginLayout();
        for (const text::Range& range : lines) {
            QTextLine line = layout->createLine();
            if (!line.isValid()) break;
            line.setNumColumns(static_cast<int>(range.length), laidOutWidth_);
            line.setPosition(QPointF(0, y));
            y += line.height();
            ++lineCount_;
        }
        layout->endLayout();
    }
}

int LabelWidget::lineCount() {
    prepare();
    return lineCount_;
}

void LabelWidget::prepare() {
    if (text() != laidOutText_ || font() != laidOutFont_ || width() != laidOutWidth_) layOut();
}

void LabelWidget::paintEvent(QPaintEvent*) {
    prepare();
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const auto& layout : layouts_)
        layout->draw(&painter, QPointF(0, 0));
}

TextBoxWidget::TextBoxWidget(Control& control, QtWindow& window, QWidget* parent)
    : ControlWidget<QLineEdit>(control, window, parent) {
    setFrame(true);
    setFocusPolicy(Qt::StrongFocus);
    // QLineEdit keeps 2 px of its own inside the frame; the toolkit's inset replaces them, so a box shows as
    // much text as on the other platforms.
    constexpr int ownMargin = 2;
    setTextMargins(kTextBoxInset - ownMargin, 0, kTextBoxInset - ownMargin, 0);
    QObject::connect(this, &QLineEdit::textChanged, [this](const QString& text) {
        if (Control* c = this->control()) ControlAccess::textEditedByUser(*c, text.toStdString());
    });
}

PictureButtonWidget::PictureButtonWidget(Control& control, QtWindow& window, QWidget* parent)
    : ControlWidget<QAbstractButton>(control, window, parent) {
    QObject::connect(this, &QAbstractButton::clicked, [this] { clicked(); });
}

void PictureButtonWidget::paintEvent(QPaintEvent*) {
    const Control* c = control();
    if (!c) return;
    QPainter painter(this);
    painter.fillRect(rect(), color(c->props().backColor));
    const Picture& shown =
        isDown() && !c->props().downPicture.empty() ? c->props().downPicture : c->props().picture;
    const QPixmap face = pixmap(shown, devicePixelRatio());
    if (face.isNull()) return;
    const QSize size = face.deviceIndependentSize().toSize();
    painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, face);
}

void PictureButtonWidget::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && control() &&
        answerEnter(*control())) {
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

PictureWidget::PictureWidget(Control& control, QtWindow& window, QWidget* parent)
    : ControlWidget<QWidget>(control, window, parent) {}

void PictureWidget::paintEvent(QPaintEvent*) {
    const Control* c = control();
    if (!c) return;
    QPainter painter(this);
    if (c->kind() == ControlKind::Frame) {
        QStyleOptionFrame option;
        option.initFrom(this);
        option.frameShape = QFrame::Box;
        option.state |= QStyle::State_Sunken;
        option.lineWidth = 1;
        style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
        return;
    }
    if (c->props().stretch) {
        // Scaled once per size: the edges are drawn again on every tick the window grows or shrinks.
        if (scaled_.deviceIndependentSize().toSize() != size() ||
            scaled_.devicePixelRatio() != devicePixelRatio() || scaledFrom_ != c->props().picture) {
            scaled_ = stretched(c->props().picture, size(), devicePixelRatio());
            scaledFrom_ = c->props().picture;
        }
        if (!scaled_.isNull()) painter.drawPixmap(0, 0, scaled_);
    } else if (const QPixmap picture = pixmap(c->props().picture, devicePixelRatio()); !picture.isNull()) {
        painter.drawPixmap(0, 0, picture);
    }
}

} // namespace forms::qt
