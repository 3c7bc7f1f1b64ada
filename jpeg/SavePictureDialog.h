#pragma once
// The save-picture dialog. For now it keeps its settings.
#include "base/Component.h"

class TSavePictureDialog : public TComponent {
public:
    explicit TSavePictureDialog(TComponent* owner);
    const std::string& Filter() const { return filter_; }
    int FilterIndex() const { return filterIndex_; }
    const std::string& FileName() const { return fileName_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

private:
    std::string filter_;
    int filterIndex_ = 1;
    std::string fileName_;
    std::string title_;
};
