#pragma once
// A drop-down list of named file filters ("description|mask|..."); picking one
// hands its mask to a linked file list.
#include <vector>

#include "base/ComponentLink.h"
#include "framework/ComboBox.h"

class TFileListBox;

class TFilterComboBox : public TCustomComboBox {
public:
    explicit TFilterComboBox(TComponent* owner);

    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter);
    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* list);
    // The selected entry's mask; with nothing selected the last entry is
    // selected first (no event), and "*.*" when there are no entries.
    std::string CurrentMask();
    // The position of the first entry whose mask is `mask`, or -1.
    int EntryOfMask(const std::string& mask) const;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateWnd() override;
    void Change() override;
    void Click() override;

private:
    void BuildEntries();

    std::string filter_;
    TComponentLink<TFileListBox> fileList_;
    std::vector<std::string> masks_;
};
