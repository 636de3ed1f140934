#pragma once

#include <QApplication>
#include <memory>

namespace vcl_detail {

// Qt's application object, made from the program's name alone.
class QtApplication {
public:
    QtApplication();
    ~QtApplication();
    bool ownsApplication() const { return own_ != nullptr; }

private:
    int argc_ = 1;
    char name_[9] = "vantorel";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> own_;
};

}  // namespace vcl_detail
