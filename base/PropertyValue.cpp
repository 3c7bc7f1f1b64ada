#include "base/PropertyValue.h"

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

void InvalidPropertyValue(const TPropertyValue& value) {
    throw EReadError(LoadStr(SInvalidPropertyValue) + " (" + IntToStr(value.line) + ")");
}

long long TPropertyValue::AsInteger() const {
    if (kind != Kind::Integer) InvalidPropertyValue(*this);
    return number;
}

bool TPropertyValue::AsBoolean() const {
    if (kind == Kind::Identifier && text == "true") return true;
    if (kind == Kind::Identifier && text == "false") return false;
    InvalidPropertyValue(*this);
}

const std::string& TPropertyValue::AsString() const {
    if (kind != Kind::String) InvalidPropertyValue(*this);
    return text;
}

const std::string& TPropertyValue::AsIdentifier() const {
    if (kind != Kind::Identifier) InvalidPropertyValue(*this);
    return text;
}

const std::vector<std::string>& TPropertyValue::AsSet() const {
    if (kind != Kind::Set) InvalidPropertyValue(*this);
    return members;
}

const std::string& TPropertyValue::AsBinary() const {
    if (kind != Kind::Binary) InvalidPropertyValue(*this);
    return text;
}

void TPropertyReader::UnknownHandler(const TPropertyValue& value) {
    throw EReadError(Format(LoadStr(SUnknownHandler), {value.text}));
}

