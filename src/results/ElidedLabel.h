#pragma once

#include <QLabel>

// A one-line label that ends a text too long for its width in "…" instead of cutting it
// off mid-character; the whole text stays readable as the tool tip. Its width comes from
// the layout, never from the text, so a long value cannot stretch the window.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    QString fullText() const { return m_fullText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
