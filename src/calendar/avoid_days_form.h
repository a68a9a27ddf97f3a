#pragma once
// The avoid-days dialog (回避日設定) as a plain form over a record's shiftRule.

namespace almx {

class AvoidDaysForm {
  public:
    explicit AvoidDaysForm(int shiftRule);

    // The rule with the three day bits of the boxes, and 16 (drop the occurrence) when
    // "回避した前日に表示する" is off; bits the dialog does not show are kept.
    int Apply(int shiftRule) const;

    bool saturday = false;  // 土曜
    bool sunday = false;    // 日曜
    bool holiday = false;   // 祝日
    bool dayBefore = true;  // 回避した前日に表示する
};

}  // namespace almx
