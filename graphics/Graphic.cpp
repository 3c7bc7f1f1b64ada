#include "graphics/Graphic.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/WholeFile.h"
#include "resources/StringIds.h"

bool TGraphic::Equals(TGraphic* other) {
    if (!other) return Empty();
    bool empty = Empty(), otherEmpty = other->Empty();
    if (empty || otherEmpty) return empty && otherEmpty;
    if (std::strcmp(ClassName(), other->ClassName()) != 0) return false;
    std::string mine, theirs;
    WriteData(mine);
    other->WriteData(theirs);
    return mine == theirs;
}

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphic::AssignError(TPersistent* source) const {
    const char* from = "nil";
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) from = graphic->ClassName();
    else if (auto* component = dynamic_cast<TComponent*>(source)) from = component->ClassName();
    else if (source) from = "TPersistent";
    throw EConvertError(Format(LoadStr(SAssignError), {from, ClassName()}));
}

void TGraphic::ShareFrom(TPersistent* source) { AssignError(source); }

void TGraphic::LoadFromFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFOpenError(Format(LoadStr(SFOpenError), {fileName}));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromStream(bytes);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    WriteWholeFile(fileName, SaveToStream());
}
