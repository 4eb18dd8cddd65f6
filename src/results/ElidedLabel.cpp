#include "ElidedLabel.h"

#include <QFontMetrics>
#include <QTextDocument>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void ElidedLabel::setFullText(const QString& text)
{
    m_fullText = text;
    // A tooltip takes anything that looks like markup as markup.
    setToolTip(Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap)
                                         : text);
    elide();
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(minimumWidth(), QLabel::sizeHint().height());
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(minimumWidth(), QLabel::minimumSizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideRight, contentsRect().width()));
}
