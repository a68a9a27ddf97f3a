#include "views/day_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "base/prompter.h"
#include "calendar/month_grid.h"
#include "core/day_property.h"
#include "core/text_entry_check.h"
#include "document/document.h"
#include "ui/document_host.h"

namespace almx {

bool DayEditable(const DateTime& day) {
    return day.IsValid() && InCalendarRange(day);
}

bool EditDayColour(DocumentHost& host, const DateTime& day, std::uint32_t backColour,
                   const std::function<std::optional<std::uint32_t>(std::uint32_t)>& choose) {
    if (!DayEditable(day) || !host.Document().CanChange()) return false;
    DayPropertyMap& properties = host.Document().Array().dayProperties;
    const auto colour = choose(DayColourToEdit(properties, day, backColour));
    if (!colour) return false;
    SetDayColour(properties, day, *colour);
    return true;
}

bool ClearDayColour(DocumentHost& host, Prompter& prompter, const DateTime& day) {
    if (!DayEditable(day) || !host.Document().CanChange()) return false;
    if (prompter.AskYesNo(kClearDayQuestion) != Answer::Yes) return false;
    return ClearDay(host.Document().Array().dayProperties, day);
}

bool EditDayPicture(DocumentHost& host, Prompter& prompter, const DateTime& day,
                    std::uint32_t backColour,
                    const std::function<std::optional<std::string>(const std::string&)>& choose) {
    if (!DayEditable(day) || !host.Document().CanChange()) return false;
    DayPropertyMap& properties = host.Document().Array().dayProperties;
    const auto path = choose(DayPictureToEdit(properties, day));
    if (!path) return false;
    if (!CheckRepresentable(prompter, {{entry_label::kDayPicture, *path}})) return false;
    SetDayPicture(properties, day, *path, backColour);
    return true;
}

void PasteOntoDay(DocumentHost& host, const DateTime& day) {
    if (!DayEditable(day)) return;
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) return;
    host.Document().PasteOntoDate(text.toStdString(), day);
}

}  // namespace almx
