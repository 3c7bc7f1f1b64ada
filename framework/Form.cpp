#include "framework/Form.h"

#include <shellapi.h>

#include "base/LateBound.h"
#include "framework/Application.h"

namespace {
const TLateBound<decltype(DragQueryFileA)> kDragQueryFile{"shell32.dll", "DragQueryFileA"};
const TLateBound<decltype(DragFinish)> kDragFinish{"shell32.dll", "DragFinish"};

void FinishDrop(HDROP drop) { kDragFinish(drop); }

std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = kDragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(kDragQueryFile(drop, i, nullptr, 0) + 1, '\0');
        path.resize(kDragQueryFile(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(path);
    }
    return paths;
}
}  // namespace

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
    SetClassName("TForm");
    SetVisible(false);
}

TForm::~TForm() {
    DestroyComponents();  // while the window part still exists
}

void TForm::CreateFromResource(const char* resourceName) {
    ReadFormResource(this, resourceName);
    if (OnCreate) OnCreate(this);
}

DWORD TForm::WindowStyle() const {
    DWORD style = WS_CLIPCHILDREN;
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: style |= WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsDialog: style |= WS_CAPTION | DS_MODALFRAME; break;
    case TFormBorderStyle::bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    }
    if (borderStyle_ != TFormBorderStyle::bsNone && (borderIcons_ & biSystemMenu)) {
        style |= WS_SYSMENU;
        if (borderStyle_ != TFormBorderStyle::bsDialog) {
            if (borderIcons_ & biMinimize) style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) style |= WS_MAXIMIZEBOX;
        }
    }
    return style;
}

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.style = WindowStyle();
    params.exStyle = borderStyle_ == TFormBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : WS_EX_WINDOWEDGE;
    if (OnDropFiles) params.exStyle |= WS_EX_ACCEPTFILES;
    params.parentWindow = nullptr;
}

void TForm::UpdateWindowSize() {
    if (clientWidth_ <= 0 && clientHeight_ <= 0) return;
    RECT r{0, 0, clientWidth_, clientHeight_};
    TCreateParams params;
    CreateParams(params);
    AdjustWindowRectEx(&r, params.style, FALSE, params.exStyle);
    TCustomControl::SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    UpdateWindowSize();
}

RECT TForm::ClientRect() const {
    if (WindowHandle()) return TCustomControl::ClientRect();
    return {0, 0, clientWidth_, clientHeight_};
}

void TForm::CreateWnd() {
    UpdateWindowSize();
    TCustomControl::CreateWnd();
    if (!iconResource_.empty()) {
        // Loaded once: a re-created window gets the same icons.
        HINSTANCE instance = GetModuleHandleA(nullptr);
        if (!bigIcon_)
            bigIcon_.Reset(static_cast<HICON>(LoadImageA(instance, iconResource_.c_str(), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
        if (!smallIcon_)
            smallIcon_.Reset(static_cast<HICON>(LoadImageA(instance, iconResource_.c_str(), IMAGE_ICON,
                                                           GetSystemMetrics(SM_CXSMICON),
                                                           GetSystemMetrics(SM_CYSMICON), 0)));
        if (bigIcon_) SendMessageA(WindowHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
        if (smallIcon_)
            SendMessageA(WindowHandle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    }
}

void TForm::Show() {
    SetVisible(true);
    HWND wnd = Handle();
    ShowWindow(wnd, SW_SHOWNORMAL);
    UpdateWindow(wnd);
}

void TForm::Close() {
    if (WindowHandle()) PostMessageA(WindowHandle(), WM_CLOSE, 0, 0);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        if (CloseQuery()) DestroyWindow(WindowHandle());
        message.Result = 0;
        return;
    case WM_DESTROY:
        if (Application.MainForm() == this) Application.Terminate();
        break;
    case WM_DROPFILES: {
        // The drop is released whatever the handler does.
        const UniqueHandle<HDROP, FinishDrop> drop(reinterpret_cast<HDROP>(message.WParam));
        const std::vector<std::string> paths = DroppedPaths(drop.Get());
        if (OnDropFiles && !paths.empty()) OnDropFiles(this, paths);
        message.Result = 0;
        return;
    }
    case WM_MOVE: {
        RECT r;
        GetWindowRect(WindowHandle(), &r);
        TCustomControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        break;
    }
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

bool TForm::PreviewKeyDown(WORD key) {
    if (!keyPreview_ || !OnKeyDown) return false;
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    OnKeyDown(this, key, shift);
    return key == 0;
}

std::any TForm::FindHandler(const std::string& name) {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? std::any() : it->second;
}

bool TForm::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "ClientWidth") SetClientSize(value.AsInt(), clientHeight_);
    else if (name == "ClientHeight") SetClientSize(clientWidth_, value.AsInt());
    else if (name == "BorderStyle") {
        borderStyle_ = IdentToEnum<TFormBorderStyle>(
            value, {{"bsNone", TFormBorderStyle::bsNone}, {"bsSingle", TFormBorderStyle::bsSingle},
                    {"bsSizeable", TFormBorderStyle::bsSizeable}, {"bsDialog", TFormBorderStyle::bsDialog}});
        UpdateWindowSize();
    } else if (name == "BorderIcons") {
        borderIcons_ = SetToFlags<unsigned>(value, {{"biSystemMenu", biSystemMenu},
                                                    {"biMinimize", biMinimize},
                                                    {"biMaximize", biMaximize},
                                                    {"biHelp", biHelp}});
        UpdateWindowSize();
    } else if (name == "Icon") iconResource_ = value.AsString();
    else if (name == "PixelsPerInch") {
        // Designed for 96 pixels per inch; the layout is in pixels and is not scaled.
        value.AsInt();
    } else if (name == "OnCreate") OnCreate = reader.Handler(value);
    else if (name == "OnCloseQuery") OnCloseQuery = reader.HandlerOf<TCloseQueryEvent>(value);
    else if (name == "OnDropFiles") OnDropFiles = reader.HandlerOf<TDropFilesEvent>(value);
    else if (name == "KeyPreview") keyPreview_ = value.AsBoolean();
    else if (name == "OnKeyDown") OnKeyDown = reader.HandlerOf<TKeyEvent>(value);
    else return TCustomControl::SetProperty(name, value, reader);
    return true;
}
