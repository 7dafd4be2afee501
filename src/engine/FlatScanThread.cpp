#include "engine/FlatScanThread.h"

#include "Packages/Files/FileFunc.h"
#include "engine/ListParser.h"
#include "system/SystemErrors.h"

TFlatScanThread::TFlatScanThread(TCustomDirScaner* scanner, TDirectory* directory)
    : TCustomThread(scanner, directory) {}

void TFlatScanThread::Work() {
    const TDirTree& tree = *Directory()->Tree;
    const std::u16string base = IncludeTrailingBackslashW(tree.RootPath());
    // The tree is flat: the walk goes from sibling to sibling.
    for (TTreeNode* node = tree.GetRoot()->FirstChild; node != nullptr && !Terminated();
         node = tree.GetNext(node))
        LookUp(node, base);
}

void TFlatScanThread::LookUp(TTreeNode* node, const std::u16string& base) {
    const std::u16string name = Directory()->Tree->GetName(node);
    // A search takes wildcards as a pattern and would find some other file.
    if (!CanNameFile(name)) {
        ReportScanError(node, static_cast<int32_t>(kErrorInvalidName));
        return;
    }
    TLxSearchRec rec;
    if (const int code = WideFindFirst(base + name, rec); code != 0) {
        ReportScanError(node, code);
        return;
    }
    TDirNodeData* data = Directory()->Tree->GetData(node);
    data->Attributes = rec.Attr;
    data->Time = rec.Time;
    // Counted whatever soAllowStatic says: the statistics of a verification
    // come from here alone.
    if (IsDirectory(rec.Attr)) {
        CountFolder();
    } else {
        data->Size = static_cast<int64_t>(rec.Size);
        CountFile(data->Size);
    }
}
