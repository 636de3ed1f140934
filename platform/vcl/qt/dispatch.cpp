#include "platform/vcl/qt/dispatch.h"

#include "platform/vcl/forms.h"

namespace vcl_detail {

void dispatch(const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (const Exception& error) {
        Application->ShowException(&error);
    } catch (const std::exception& error) {
        Application->ShowException(&error);
    }
}

}  // namespace vcl_detail
