#pragma once
// The one concrete exception type that is thrown, by value. Its message is
// formed by the thrower, typically the file path, " ; " and the condition.

#include "track/exception.h"

class ZAVROException : public Exception {
public:
    explicit ZAVROException(std::string message) : Exception(std::move(message)) {}
    ZAVROException(const ZAVROException&) = default;
    ~ZAVROException() override;

    // The stored message, unchanged.
    const std::string& GetMessage() const override { return message_; }
    // Replaces the message with a copy of the given text (assigning the
    // object's own message leaves it unchanged).
    void SetMessage(const std::string& message) override {
        if (&message != &message_) message_ = message;
    }
};
