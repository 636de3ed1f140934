// Properties: a value with a setter that tells its owner, so that a control can
// be written to as `Button->Caption = "Update"` and stay in step with its widget.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

#include "platform/vcl/system.h"

template <class T>
class Property {
public:
    explicit Property(T initial = T{}) : value_(std::move(initial)) {}
    Property(const Property&) = delete;

    Property& operator=(const T& value) {
        value_ = value;
        if (changed_) changed_(value_);
        return *this;
    }
    Property& operator=(const Property& other) { return *this = other.value_; }
    operator const T&() const { return value_; }
    const T& get() const { return value_; }

    // Set by the control that owns the property.
    void onChange(std::function<void(const T&)> changed) { changed_ = std::move(changed); }

private:
    T value_;
    std::function<void(const T&)> changed_;
};

// A text that can be replaced whole or appended to; the owner hears of each
// change, and where in the text it starts, without the text being copied.
class TextProperty {
public:
    TextProperty() = default;
    TextProperty(const TextProperty&) = delete;

    TextProperty& operator=(std::string_view text) {
        text_.assign(text);
        if (changed_) changed_(0);
        return *this;
    }
    TextProperty& operator=(const TextProperty& other) { return *this = std::string_view(other.text_); }
    TextProperty& operator+=(std::string_view text) {
        const std::size_t from = text_.size();
        text_.append(text);
        if (changed_) changed_(from);
        return *this;
    }
    operator const String&() const { return text_; }
    const String& get() const { return text_; }
    const char* c_str() const { return text_.c_str(); }

    void onChange(std::function<void(std::size_t from)> changed) { changed_ = std::move(changed); }

private:
    String text_;
    std::function<void(std::size_t)> changed_;
};
