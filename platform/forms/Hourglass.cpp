#include "forms/Hourglass.h"

#include <QApplication>

namespace pv::forms {

HourglassCursor::HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

HourglassCursor::~HourglassCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace pv::forms
