#pragma once
// The failure classes that handlers raise and the application object shows.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;  // GBK text
};

#define TULVAR_EXCEPTION(Name, Base)                          \
    class Name : public Base {                                \
    public:                                                   \
        explicit Name(std::string message) : Base(std::move(message)) {} \
    };

TULVAR_EXCEPTION(EStreamError, Exception)
TULVAR_EXCEPTION(EFOpenError, EStreamError)
TULVAR_EXCEPTION(EFCreateError, EStreamError)
TULVAR_EXCEPTION(EWriteError, EStreamError)
TULVAR_EXCEPTION(EReadError, EStreamError)
TULVAR_EXCEPTION(EInvalidGraphic, Exception)
TULVAR_EXCEPTION(EInvalidGraphicOperation, Exception)
TULVAR_EXCEPTION(EOutOfResources, Exception)
TULVAR_EXCEPTION(EInvalidOperation, Exception)
TULVAR_EXCEPTION(EJPEG, EInvalidGraphic)
TULVAR_EXCEPTION(EConvertError, Exception)
TULVAR_EXCEPTION(EAbort, Exception)

#undef TULVAR_EXCEPTION

// Fills each "%s" with the next text and each "%d" with the next number, in order;
// "%%" is a literal percent. Enough for the string table's messages.
std::string Format(const std::string& pattern, std::initializer_list<std::string> args);
std::string IntToStr(long long value);
