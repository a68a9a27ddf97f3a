#include "app/app_context.h"

#include "calendar/ui/entry_commands.h"
#include "ui/font_faces.h"

namespace almx {

AppFonts AppFonts::From(const DisplaySettings& display) {
    AppFonts fonts;
    fonts.schedule = FontFromSpec(display.scheduleFont);
    fonts.scheduleBold = fonts.schedule;
    fonts.scheduleBold.setWeight(QFont::Bold);
    fonts.scheduleStruck = fonts.schedule;
    fonts.scheduleStruck.setStrikeOut(true);
    fonts.scheduleBoldStruck = fonts.scheduleBold;
    fonts.scheduleBoldStruck.setStrikeOut(true);
    fonts.date = FontFromSpec(display.dateFont);
    fonts.weekday = FontFromSpec(display.weekdayFont);
    MapMissingFace(QString::fromStdString(display.diaryIconFont.faceName));
    return fonts;
}

DocumentContext AppContext::ForDocument() const {
    DocumentContext context;
    context.settings = settings;
    context.prompter = prompter;
    context.clock = clock;
    context.applicationGenres = &genres;
    context.programFolder = programFolder;
    context.trash = trash;
    return context;
}

EntryEnvironment AppContext::ForEntries() const {
    EntryEnvironment environment{*settings, *prompter, *clock};
    if (launcher != nullptr && trash != nullptr) {
        environment.links.emplace(
            LinkServices{*settings, *prompter, *launcher, *trash, programFolder});
    }
    return environment;
}

}  // namespace almx
