// Base types of the GUI layer: its string, its root object, its exception and the
// shape of an event handler.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <utility>

// Control texts are 8-bit; the bytes are shown as UTF-8.
using String = std::string;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The base of every exception the GUI layer reports.
class Exception : public std::exception {
public:
    explicit Exception(String message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    String Message;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A handler bound to its object, as a form wires its methods to its controls.
template <class Object, class Method>
auto Closure(Object* object, Method method) {
    return [object, method](auto&&... args) { (object->*method)(std::forward<decltype(args)>(args)...); };
}
