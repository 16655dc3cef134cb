#include "app/caption_fit.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace doze {

bool CaptionFits(const QFont& font, const CaptionBox& box) {
    const QFontMetrics metrics(font);
    if (!box.wraps) {
        return metrics.horizontalAdvance(box.text) <= box.room.width() &&
               metrics.height() <= box.room.height();
    }
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, box.room.width(), 100000), Qt::TextWordWrap, box.text);
    return needed.width() <= box.room.width() && needed.height() <= box.room.height();
}

QFont FittingFont(const std::vector<CaptionBox>& boxes, int largest, int smallest) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    for (int size = largest; size >= smallest; --size) {
        font.setPixelSize(size);
        bool all = true;
        for (const CaptionBox& box : boxes) all = all && CaptionFits(font, box);
        if (all) return font;
    }
    font.setPixelSize(smallest);
    return font;
}

int CaptionWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace doze
