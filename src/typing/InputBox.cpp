#include "InputBox.h"
#include "InputBoxAccessible.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextCharFormat>

#include <algorithm>
#include <cmath>

namespace
{

// A frameless line edit's text margins, which the box keeps to look the same.
constexpr int HorizontalMargin = 2;
constexpr int VerticalMargin = 1;

// With one of these held a key is a shortcut, never a character or an Enter.
constexpr Qt::KeyboardModifiers ShortcutModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

InputBox::InputBox(QWidget* parent) : QWidget(parent)
{
    static const bool accessible = (QAccessible::installFactory(&inputBoxAccessible), true);
    Q_UNUSED(accessible);
    setObjectName(QStringLiteral("inputBox"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    // The box draws what its rounded corners let through itself: an echo then costs no
    // drawing of the windows behind it.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    m_row.setFont(font());
    placeLine();
}

void InputBox::appendAccepted(const QString& text)
{
    if (text.isEmpty())
        return;
    const int at = int(m_row.text().size());
    const int oldX = caretX();
    const int oldHscroll = m_hscroll, oldVscroll = m_vscroll;
    const QMargins reach = m_row.append(text);
    placeLine();
    restartBlink();
    if (m_hscroll != oldHscroll || m_vscroll != oldVscroll || m_row.hasPreedit()) {
        m_damage = rect();
    } else {
        // The new characters, whatever their glyphs reach beyond, and both carets.
        m_damage = QRect(QPoint(oldX - reach.left() - 2, 0),
                         QPoint(caretX() + reach.right() + caretWidth() + 2, height() - 1));
    }
    update(m_damage);
    updateMicroFocusSoon();
    announceTextChange(at, {}, text);
}

void InputBox::clearRow()
{
    // As a line edit does when emptied: the input method starts afresh.
    if (hasFocus())
        QGuiApplication::inputMethod()->reset();
    const QString removed = m_row.text();
    m_row.clear();
    placeLine();
    restartBlink();
    m_damage = rect();
    update();
    updateMicroFocusSoon();
    announceTextChange(0, removed, {});
}

void InputBox::drawNow()
{
    if (isVisible() && !m_damage.isEmpty())
        repaint(m_damage);
}

void InputBox::updateMicroFocusSoon()
{
    // The input method learns of the moved caret after the echo is on its way.
    if (std::exchange(m_microFocusDue, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_microFocusDue = false;
            updateMicroFocus();
        },
        Qt::QueuedConnection);
}

void InputBox::announceTextChange(int at, const QString& removed, const QString& added)
{
    if (!QAccessible::isActive() || removed == added)
        return;
    const int caret = int(m_row.text().size());
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent inserted(this, at, added);
        inserted.setCursorPosition(caret);
        QAccessible::updateAccessibility(&inserted);
    } else {
        QAccessibleTextRemoveEvent gone(this, at, removed);
        gone.setCursorPosition(caret);
        QAccessible::updateAccessibility(&gone);
    }
}

void InputBox::initStyleOption(QStyleOptionFrame* option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = 0;
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

int InputBox::caretWidth() const
{
    area();
    return m_caretWidth;
}

void InputBox::placeLine()
{
    // Centred, and scrolled sideways only as far as keeps the caret in sight: a line edit's
    // own rules, so that the box looks and moves as one.
    const QFontMetrics metrics = fontMetrics();
    m_lineHeight = std::max(m_row.inkHeight(), metrics.height());
    m_vscroll = area().y() + (area().height() - m_lineHeight + 1) / 2;
    const int lineWidth = area().width() - 2 * HorizontalMargin;
    const int caret = qRound(m_row.caretX());
    const int widthUsed = qRound(m_row.width()) + 1;
    if (widthUsed <= lineWidth)
        m_hscroll = 0;
    else if (caret - m_hscroll >= lineWidth)
        m_hscroll = caret - lineWidth + 1;
    else if (caret - m_hscroll < 0 && m_hscroll < widthUsed)
        m_hscroll = caret;
    else if (widthUsed - m_hscroll < lineWidth)
        m_hscroll = widthUsed - lineWidth + 1;
    else
        m_hscroll = std::max(0, m_hscroll);
}

int InputBox::caretX() const
{
    return area().x() + HorizontalMargin - m_hscroll + qRound(m_row.caretX());
}

QRect InputBox::caretRect() const
{
    const int lineHeight = int(std::ceil(m_row.ascent() + m_row.descent()) + 1);
    const int ascent = qRound(m_row.ascent());
    return QRect(caretX() - 5, m_vscroll - ascent + fontMetrics().ascent(), caretWidth() + 9,
                 lineHeight);
}

QRect InputBox::characterRect(int offset) const
{
    if (offset < 0 || offset >= m_row.text().size())
        return {};
    const int left = area().x() + HorizontalMargin - m_hscroll;
    const int from = qRound(m_row.xAt(offset)), to = qRound(m_row.xAt(offset + 1));
    return QRect(left + from, m_vscroll, to - from, m_lineHeight);
}

void InputBox::paintEvent(QPaintEvent* event)
{
    m_damage = QRect();
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = devicePixelRatioF();
    if (ratio == std::floor(ratio)) {
        painter.drawPixmap(dirty, background(),
                           QRect(dirty.topLeft() * ratio, dirty.size() * ratio));
    } else {
        // A scale that is not whole would blur the copy: the panel is drawn each time.
        paintBackground(&painter);
    }
    painter.setClipRect(area());
    placeLine();
    // The baseline stays where the box's own font puts it, whatever a fallback font adds.
    const QPoint topLeft(area().x() + HorizontalMargin - m_hscroll,
                         m_vscroll - (qRound(m_row.ascent()) - fontMetrics().ascent()));
    painter.setPen(palette().text().color());
    m_row.draw(&painter, topLeft, area(), dirty);
    if (hasFocus() && m_caretShown && !m_preeditHidesCaret)
        m_row.drawCaret(&painter, topLeft, caretWidth());
}

const QWidget* InputBox::behind() const
{
    // What shows through the corners of the panel: the background behind the box.
    const QWidget* behind = parentWidget();
    while (behind && !behind->isWindow() && !behind->autoFillBackground())
        behind = behind->parentWidget();
    return behind;
}

void InputBox::paintBackground(QPainter* painter) const
{
    if (const QWidget* behind = this->behind())
        painter->fillRect(rect(), behind->palette().brush(behind->backgroundRole()));
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, painter, this);
}

const QPixmap& InputBox::background() const
{
    // Drawn once for a size, palette and state, then copied where a change needs it.
    const QWidget* under = behind();
    const BackgroundKey key{size(),
                            devicePixelRatioF(),
                            palette().cacheKey(),
                            under ? under->palette().cacheKey() : 0,
                            hasFocus(),
                            isEnabled(),
                            isActiveWindow()};
    if (key != m_backgroundKey || m_background.isNull()) {
        m_background = QPixmap(size() * key.ratio);
        m_background.setDevicePixelRatio(key.ratio);
        m_background.fill(Qt::transparent);
        QPainter painter(&m_background);
        paintBackground(&painter);
        m_backgroundKey = key;
    }
    return m_background;
}

void InputBox::restartBlink()
{
    m_caretShown = true;
    m_sinceChange.start();
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (!hasFocus() || flashTime < 2)
        m_blink.stop();
    else if (!m_blink.isActive())
        m_blink.start(flashTime / 2, this);
}

void InputBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_blink.timerId())
        return QWidget::timerEvent(event);
    // The caret stays on while the user types; the timer is not started again for every key.
    const int half = QGuiApplication::styleHints()->cursorFlashTime() / 2;
    if (m_caretShown && m_sinceChange.isValid() && m_sinceChange.elapsed() < half)
        return;
    m_caretShown = !m_caretShown;
    update(caretRect());
}

void InputBox::focusInEvent(QFocusEvent* event)
{
    restartBlink();
    update(caretRect());
    QWidget::focusInEvent(event);
}

void InputBox::focusOutEvent(QFocusEvent* event)
{
    restartBlink();
    update(caretRect());
    QWidget::focusOutEvent(event);
}

const QRect& InputBox::area() const
{
    if (m_areaSize != size()) {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        m_area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
        m_caretWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);
        m_areaSize = size();
    }
    return m_area;
}

void InputBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_row.setFont(font());
        placeLine();
        update();
    } else if (event->type() == QEvent::StyleChange) {
        m_areaSize = QSize();
        placeLine();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

QSize InputBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const int height = std::max(metrics.height(), std::max(14, iconSize - 2)) + 2 * VerticalMargin;
    const int width = metrics.horizontalAdvance(u'x') * 17 + 2 * HorizontalMargin;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &panel, QSize(width, height), this);
}

bool InputBox::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // Taken here rather than in keyPressEvent so that Tab never moves the focus.
        handleKey(static_cast<QKeyEvent*>(event));
        return true;
    case QEvent::ShortcutOverride:
        // A typed key is the box's, as in a line edit: it then goes straight to the box
        // instead of past every parent and the shortcut map first. The test window's
        // shortcuts (start again, print) are held keys and stay the window's.
        event->setAccepted(isTyping(static_cast<QKeyEvent*>(event)));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // Clicks only give the focus, which the focus policy already does.
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

bool InputBox::isTyping(const QKeyEvent* event)
{
    if (event->modifiers() & ShortcutModifiers)
        return false;
    const QString text = event->text();
    return !text.isEmpty() && (text.front().isPrint() || text.front() == u'\r' ||
                               text.front() == u'\b' || text.front() == u'\t');
}

void InputBox::handleKey(QKeyEvent* event)
{
    event->accept();
    Q_EMIT keyDown(event);
    if (event->modifiers() & ShortcutModifiers)
        return;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT keyPress(QStringLiteral("\r"));
        break;
    case Qt::Key_Backspace:
        Q_EMIT keyPress(QStringLiteral("\b"));
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        Q_EMIT keyPress(QStringLiteral("\t"));
        break;
    default:
        // Editing and paste shortcuts carry control characters or nothing: the window
        // drops them, so the box is only ever changed by accepted text.
        if (!event->text().isEmpty())
            Q_EMIT keyPress(event->text());
        break;
    }
}

void InputBox::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    const QString preedit = event->preeditString();
    // Committed text is the window's to check; replacements of text already accepted and
    // selections inside it are refused, so only the preedit reaches the box itself. The
    // preedit goes first, so that the echo of the commit, drawn at once, never shows the
    // preedit it replaces.
    if (!preedit.isEmpty() || m_row.hasPreedit()) {
        int caret = int(preedit.size());
        m_preeditHidesCaret = false;
        QList<QTextLayout::FormatRange> formats;
        for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
            if (attribute.type == QInputMethodEvent::Cursor) {
                caret = attribute.start;
                m_preeditHidesCaret = attribute.length == 0;
            } else if (attribute.type == QInputMethodEvent::TextFormat) {
                const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
                if (format.isValid())
                    formats.append({attribute.start, attribute.length, format});
            }
        }
        m_row.setPreedit(preedit, formats, caret);
        placeLine();
        restartBlink();
        m_damage = rect();
        update();
        updateMicroFocus();
    }
    if (!commit.isEmpty())
        Q_EMIT committed(commit);
    if (!commit.isEmpty() || !preedit.isEmpty())
        Q_EMIT inputMethodUsed();
    event->accept();
}

QVariant InputBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        // The candidate window opens at the caret, which stays after the last character.
        return QRectF(caretRect());
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImAbsolutePosition:
        return int(m_row.text().size());
    case Qt::ImSurroundingText:
    case Qt::ImTextBeforeCursor:
        return m_row.text();
    case Qt::ImCurrentSelection:
    case Qt::ImTextAfterCursor:
        return QString();
    case Qt::ImReadOnly:
        return false;
    default:
        return QWidget::inputMethodQuery(query);
    }
}
