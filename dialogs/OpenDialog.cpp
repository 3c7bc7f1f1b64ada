#include "dialogs/OpenDialog.h"

#include <cstring>
#include <initializer_list>
#include <utility>

#include "base/GbkText.h"
#include "base/LateBound.h"
#include "base/PropertyValue.h"
#include "framework/Barrier.h"

namespace {
const std::initializer_list<std::pair<const char*, unsigned>> kOptionNames = {
    {"ofReadOnly", ofReadOnly},
    {"ofOverwritePrompt", ofOverwritePrompt},
    {"ofHideReadOnly", ofHideReadOnly},
    {"ofNoChangeDir", ofNoChangeDir},
    {"ofShowHelp", ofShowHelp},
    {"ofNoValidate", ofNoValidate},
    {"ofAllowMultiSelect", ofAllowMultiSelect},
    {"ofExtensionDifferent", ofExtensionDifferent},
    {"ofPathMustExist", ofPathMustExist},
    {"ofFileMustExist", ofFileMustExist},
    {"ofCreatePrompt", ofCreatePrompt},
    {"ofShareAware", ofShareAware},
    {"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
    {"ofNoTestFileCreate", ofNoTestFileCreate},
    {"ofNoNetworkButton", ofNoNetworkButton},
    {"ofNoLongNames", ofNoLongNames},
    {"ofOldStyleDialog", ofOldStyleDialog},
    {"ofNoDereferenceLinks", ofNoDereferenceLinks},
    {"ofEnableIncludeNotify", ofEnableIncludeNotify},
    {"ofEnableSizing", ofEnableSizing},
    {"ofDontAddToRecent", ofDontAddToRecent},
    {"ofForceShowHidden", ofForceShowHidden},
};

// "desc|mask|desc|mask" as the platform wants it: NUL-separated, two NULs at the end.
std::string PlatformFilter(const std::string& filter) {
    std::string out = filter;
    ForEachChar(filter, [&](size_t i, bool single) {
        if (single && out[i] == '|') out[i] = '\0';
    });
    out += '\0';  // the string's own terminator is the second
    return out;
}

// The longest start of `text` of at most `limit` bytes that ends between characters.
std::string CutToBytes(const std::string& text, size_t limit) {
    size_t end = 0;
    ForEachChar(text, [&](size_t i, bool single) {
        if (i + (single ? 1 : 2) <= limit) end = i + (single ? 1 : 2);
    });
    return text.substr(0, end);
}

// The extension of a path's file name without its dot; empty without one.
std::string ExtensionOf(const std::string& path) {
    size_t dot = std::string::npos;
    ForEachChar(path, [&](size_t i, bool single) {
        if (!single) return;
        if (path[i] == '.') dot = i;
        else if (path[i] == '\\' || path[i] == ':') dot = std::string::npos;
    });
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

// Gives a notification its answer, both ways the platform may read it.
void Answer(HWND dialog, TMessage& message, LRESULT result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    message.Result = result;
}
}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner) { SetClassName("TOpenDialog"); }

TOpenDialog::DialogFunction TOpenDialog::OpenFunction() {
    static const TLateBound<decltype(GetOpenFileNameA)> open{"comdlg32.dll", "GetOpenFileNameA"};
    return open.Get();
}

TOpenDialog::DialogFunction TOpenDialog::SaveFunction() {
    static const TLateBound<decltype(GetSaveFileNameA)> save{"comdlg32.dll", "GetSaveFileNameA"};
    return save.Get();
}

bool TOpenDialog::Execute() { return DoExecute(OpenFunction()); }

void TOpenDialog::SetInitialDir(const std::string& folder) {
    size_t last = std::string::npos, beforeLast = std::string::npos;
    ForEachChar(folder, [&](size_t i, bool single) {
        beforeLast = last;
        last = single ? i : std::string::npos;
    });
    const bool trailingSlash = last != std::string::npos && folder[last] == '\\';
    const bool afterColon = beforeLast != std::string::npos && folder[beforeLast] == ':';
    initialDir_ = (trailingSlash && folder.size() > 1 && !afterColon) ? folder.substr(0, last) : folder;
}

std::string TOpenDialog::FileName() const {
    if (Handle() && explorer_) {
        char path[MAX_PATH + 1] = {};
        LRESULT length = SendMessageA(GetParent(Handle()), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
        return length > 0 ? std::string(path) : std::string();
    }
    return fileName_;
}

int TOpenDialog::FilterIndex() const { return Handle() ? reportedFilterIndex_ : filterIndex_; }

bool TOpenDialog::DoExecute(DialogFunction function) {
    files_.clear();
    explorer_ = (options_ & ofOldStyleDialog) == 0;
    const std::string filter = PlatformFilter(filter_);
    const size_t capacity = (options_ & ofAllowMultiSelect) ? 65519 : MAX_PATH;
    std::vector<char> names(capacity + 2, '\0');
    const std::string initialName = CutToBytes(fileName_, capacity);
    std::memcpy(names.data(), initialName.data(), initialName.size());
    std::string defaultExt = defaultExt_;
    if (defaultExt.empty() && !explorer_) defaultExt = ExtensionOf(fileName_);

    OPENFILENAMEA record{};
    record.lStructSize = sizeof record;
    record.hInstance = GetModuleHandleA(nullptr);  // holds the child dialog resource
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = static_cast<DWORD>(filterIndex_);
    reportedFilterIndex_ = filterIndex_;
    record.lpstrFile = names.data();
    record.nMaxFile = static_cast<DWORD>(names.size());
    // Empty texts are left out, so the platform picks its own folder and title.
    record.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    record.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    record.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    record.Flags = (OFN_ENABLEHOOK | options_) ^ OFN_EXPLORER;
    record.FlagsEx = optionsEx_;
    record.lpfnHook = explorer_ ? ExplorerHook : OldStyleHook;
    if (explorer_ && !templateName_.empty()) {
        record.Flags |= OFN_ENABLETEMPLATE;
        record.lpTemplateName = templateName_.c_str();
    }
    record.lCustData = reinterpret_cast<LPARAM>(this);

    BOOL confirmed;
    {
        TModalScope modal;
        BeginRun(modal);
        record.hwndOwner = FormWindow();
        confirmed = function(&record);
    }
    if (!confirmed) return false;
    files_ = ReturnedNames(names.data());
    fileName_ = files_.front();
    const unsigned returned = ofExtensionDifferent | ofReadOnly;
    options_ = (options_ & ~returned) | (record.Flags & returned);
    filterIndex_ = static_cast<int>(record.nFilterIndex);
    return true;
}

std::vector<std::string> TOpenDialog::ReturnedNames(const char* buffer) const {
    std::string first = buffer;
    const char* next = buffer + first.size() + 1;
    if (!explorer_ || !(options_ & ofAllowMultiSelect) || *next == '\0') return {first};
    // Several files: the folder, then each name in it.
    if (!first.empty() && first.back() != '\\') first += '\\';
    std::vector<std::string> paths;
    for (; *next; next += std::strlen(next) + 1) paths.push_back(first + next);
    return paths;
}

UINT_PTR CALLBACK TOpenDialog::ExplorerHook(HWND wnd, UINT msg, WPARAM, LPARAM lParam) {
    return CallbackBarrier<UINT_PTR>(0, [&]() -> UINT_PTR {
        // The hook belongs to the child dialog made from the template.
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<TOpenDialog*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
            self->Attach(wnd);
            return TRUE;
        }
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
            auto* note = reinterpret_cast<OFNOTIFYA*>(lParam);
            reinterpret_cast<TOpenDialog*>(note->lpOFN->lCustData)->CenterWindow(GetParent(wnd));
        }
        return 0;
    });
}

UINT_PTR CALLBACK TOpenDialog::OldStyleHook(HWND wnd, UINT msg, WPARAM, LPARAM lParam) {
    return CallbackBarrier<UINT_PTR>(0, [&]() -> UINT_PTR {
        if (msg != WM_INITDIALOG) return 0;
        auto* self = reinterpret_cast<TOpenDialog*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
        self->CenterWindow(wnd);
        self->Attach(wnd);
        return TRUE;
    });
}

void TOpenDialog::WndProc(TMessage& message) {
    if (message.Msg == WM_NOTIFY && explorer_) {
        const auto* note = reinterpret_cast<const OFNOTIFYA*>(message.LParam);
        switch (note->hdr.code) {
        case CDN_INITDONE:
            DoShow();
            break;
        case CDN_SELCHANGE:
            DoSelectionChange();
            break;
        case CDN_FOLDERCHANGE:
            DoFolderChange();
            break;
        case CDN_TYPECHANGE:
            if (static_cast<int>(note->lpOFN->nFilterIndex) != reportedFilterIndex_) {
                reportedFilterIndex_ = static_cast<int>(note->lpOFN->nFilterIndex);
                DoTypeChange();
            }
            break;
        case CDN_FILEOK:
            if (!CanClose(*note->lpOFN)) {
                Answer(Handle(), message, 1);  // stays open
                return;
            }
            break;
        case CDN_INCLUDEITEM:
            Answer(Handle(), message, IncludeItem(*reinterpret_cast<const OFNOTIFYEXA*>(message.LParam)));
            return;
        default:
            break;
        }
    }
    TCommonDialog::WndProc(message);
}

bool TOpenDialog::CanClose(const OPENFILENAMEA& record) {
    files_ = ReturnedNames(record.lpstrFile);
    bool canClose = true;
    if (OnCanClose) OnCanClose(this, canClose);
    files_.clear();
    return canClose;
}

bool TOpenDialog::IncludeItem(const OFNOTIFYEXA& item) {
    bool include = true;
    if (OnIncludeItem) OnIncludeItem(this, item, include);
    return include;
}

void TOpenDialog::DoSelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

void TOpenDialog::DoFolderChange() {
    if (OnFolderChange) OnFolderChange(this);
}

void TOpenDialog::DoTypeChange() {
    if (OnTypeChange) OnTypeChange(this);
}

bool TOpenDialog::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Filter") SetFilter(value.AsString());
    else if (name == "FilterIndex") SetFilterIndex(value.AsInt());
    else if (name == "FileName") SetFileName(value.AsString());
    else if (name == "Title") SetTitle(value.AsString());
    else if (name == "DefaultExt") SetDefaultExt(value.AsString());
    else if (name == "InitialDir") SetInitialDir(value.AsString());
    else if (name == "Options") SetOptions(SetToFlags(value, kOptionNames));
    else if (name == "OptionsEx") SetOptionsEx(SetToFlags<unsigned>(value, {{"ofExNoPlacesBar", ofExNoPlacesBar}}));
    else return TCommonDialog::SetProperty(name, value, reader);
    return true;
}
