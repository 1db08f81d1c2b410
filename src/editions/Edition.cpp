#include "editions/Edition.h"

namespace brx::editions {

const Edition& Edition::Win2000()
{
    static const Edition edition{
        .kind = EditionKind::Win2000,
        .title = "Brellix 2000",
        .startupShortcut = "Brellix2K.lnk",
        .startupShortcutDescription = "Brellix2K",
        .preferencesShortcutDescription = "Brellix2000",
        .helpFile = "Brellix2K.hlp",
        .locationFile = "brx2kdir.ini",
        .locationKey = "Brellix2000",
        .schedulerJobs = {"Tasks\\Brellix 95.job", "Tasks\\Brellix 2K.job"},
    };
    return edition;
}

const Edition& Edition::WinNT()
{
    static const Edition edition{
        .kind = EditionKind::NT,
        .title = "Brellix NT",
        .startupShortcut = "BrellixNT.lnk",
        .startupShortcutDescription = "BrellixNT",
        .preferencesShortcutDescription = "BrellixNT",
        .helpFile = "BrellixNT.hlp",
        .locationFile = "brxntdir.ini",
        .locationKey = "BrellixNT",
        .schedulerJobs = {"Tasks\\Brellix NT.job"},
    };
    return edition;
}

}  // namespace brx::editions
