// KivWinBaseException: the window toolkit's one exception type ("Error <class>::<operation>").
#pragma once
#include <stdexcept>
#include <string>

class KivWinBaseException : public std::runtime_error {
public:
    explicit KivWinBaseException(const std::string& message) : std::runtime_error(message) {}
};
