#pragma once
#include <QFont>
#include <QSize>
#include <QString>
#include <vector>

namespace doze {

// A caption and the room its control gives it.
struct CaptionBox {
    QString text;
    QSize room;          // pixels left for the text itself
    bool wraps = false;  // the text may wrap at word breaks
};

// Whether `box.text` fits in `box.room` when drawn with `font`.
bool CaptionFits(const QFont& font, const CaptionBox& box);

// The font to lay a window out in: the desktop's default dialog font at the
// largest pixel size from `largest` down to `smallest` at which every caption
// fits; at `smallest` when none does.
QFont FittingFont(const std::vector<CaptionBox>& boxes, int largest, int smallest);

// Width a one-line caption needs with `font`.
int CaptionWidth(const QFont& font, const QString& text);

}  // namespace doze
