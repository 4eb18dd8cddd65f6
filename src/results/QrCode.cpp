#include "QrCode.h"

#include <qrencode.h>

QrCode QrCode::encode(const QString& text)
{
    QrCode code;
    const QByteArray bytes = text.toUtf8();
    QRcode* encoded = QRcode_encodeData(int(bytes.size()),
                                        reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        0, QR_ECLEVEL_M);
    if (!encoded)
        return code;
    code.m_size = encoded->width;
    code.m_modules.resize(qsizetype(code.m_size) * code.m_size);
    for (qsizetype i = 0; i < code.m_modules.size(); ++i)
        code.m_modules[i] = encoded->data[i] & 1;
    QRcode_free(encoded);
    return code;
}

QList<QRectF> QrCode::darkRects(const QRectF& square) const
{
    QList<QRectF> rects;
    if (isEmpty())
        return rects;
    const qreal module = square.width() / (m_size + 2 * QuietZone);
    const QPointF origin = square.topLeft() + QPointF(QuietZone * module, QuietZone * module);
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size;) {
            if (!isDark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < m_size && isDark(end, y))
                ++end;
            rects.append(QRectF(origin.x() + x * module, origin.y() + y * module,
                                (end - x) * module, module));
            x = end;
        }
    }
    return rects;
}
