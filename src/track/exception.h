#pragma once
// Base of the program's exceptions: carries one message text. The track
// reader and the section code throw; the track loaders catch everything and
// go on without a track.

#include <string>

class Exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;
    virtual ~Exception();

    virtual const std::string& GetMessage() const = 0;
    virtual void SetMessage(const std::string& message) = 0;

protected:
    std::string message_;
};
