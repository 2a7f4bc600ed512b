// A caption's words as the window's lists and blocks show them: its rows of text on one line.
#pragma once

#include <QString>
#include <QStringView>

#include "model/caption.h"

namespace vantrel {

// The rows that hold text, joined by `rowJoin`, in Unicode.
QString OneLineText(const Caption& caption, QStringView rowJoin);

}  // namespace vantrel
