#pragma once
// The diary folder dialog (日記ディレクトリ) as a plain form: the folder text in, the document's
// diary folder out.

#include <string>

namespace almx {

class CAlmxArray;
class Prompter;

class DiaryFolderForm {
  public:
    explicit DiaryFolderForm(const CAlmxArray& document);

    // False, after naming the field, when the folder has a character the schedule file cannot
    // hold (it would be saved as "?" and name another folder).
    bool Ok(Prompter& prompter) const;
    // The folder into the document; true when it changed.
    bool WriteTo(CAlmxArray& document) const;

    std::string folder;  // 日記を置くディレクトリ(&D)
};

}  // namespace almx
