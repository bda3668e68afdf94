// The numbers of the module's texts in its language files, which the host reads by position.
// The files and this list must change together.
#pragma once

enum MessageId {
    MDiskMenuEntry = 0,
    MPanelName = 1,
    MKeyBarDelete = 2,
    MDeleteTitle = 3,
    MDeleteItems = 4,  // a format with one integer, the number of items
    MDeleteItem = 5,   // a format with one string, the item's name
    MAddNameTitle = 6,
    MEditNameTitle = 7,
    MNameLabel = 8,
    MPathLabel = 9,
    MTemporaryCheckBox = 10,
    MNameNotFound = 11,  // the missing name follows it, quoted
    MRegistryError = 12,
    MNoMemory = 13,
    MUnexpectedError = 14,
    MErrorTitle = 15,
    MPluginsMenuEntry = 16,
    MConfigMenuEntry = 17,
    MConfigTitle = 18,
    MPrefixLabel = 19,
    MShowErrorsCheckBox = 20,
    MShowInPluginsMenuCheckBox = 21,
    MShowInDiskMenuCheckBox = 22,
    MShowTemporaryAsHiddenCheckBox = 23,
    MUnused = 24,  // kept so that the numbers after it stay where the files have them
    MFilterTitle = 25,
    MFilterNameLabel = 26,
    MFilterPatternLabel = 27,
    MAutoCompleteCheckBox = 28,
    MKeyBarNewFilter = 29,
    MOverwriteQuestion = 30,
    // Refusals; where a box names what it refused, that text follows on a line of its own.
    MEmptyNameCommand = 31,  // an add on the command line without a name
    MEmptyNameDialog = 32,   // a dialog closed with OK and no name
    MEmptyPath = 33,
    MEmptyPattern = 34,
    MDirectoryTooLong = 35,
    MNameWithSeparator = 36,
    MNoDirectory = 37,
    MBadPrefix = 38,
    MNotRunAsCommand = 39,
    MNameBeginsWithCommand = 40,
    MCutTextEdited = 41,
    MPanelWithoutDirectory = 42,
    MNoNameToDelete = 43,
    MNameWithWildcard = 44,
    MDirectoryNotWhole = 45,
    MTargetRunsPrefix = 46,
    MWildcardDirectory = 47,
    MJumpTooLong = 48,
    MRelativePath = 49,
    MNoLongerStored = 50,
    MPrefixOneColon = 51,
    MNoCompletion = 52,
};
