#pragma once
// The base of every error the programs report: a readable description in Japanese.
#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
  public:
    explicit Error(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

  private:
    QString description_;
};

// The readable description of the exception being handled (inside a catch block).
QString describeCurrentException();

}  // namespace platform
