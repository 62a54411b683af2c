#pragma once
// The windows' texts and the logic's strings: both hold UTF-8.

#include <QString>
#include <string>

namespace tms {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

}  // namespace tms
