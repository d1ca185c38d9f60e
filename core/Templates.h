// Where the DXF templates Hedder.dat and Footer.dat are found: beside the program for portable use from a
// folder, else in the data folder of an installed program (<prefix>/share/plotra/ for <prefix>/bin/plotra).
#pragma once

#include <string>
#include <vector>

inline constexpr char kHedderTemplate[] = "Hedder.dat";
inline constexpr char kFooterTemplate[] = "Footer.dat";

// The data folder of an installed program in `programFolder` (ending in '/'), ending in '/'.
std::string DataFolderOf(const std::string& programFolder);

// The folders searched, in order, each ending in '/': the program's folder, then the installed data folder.
std::vector<std::string> TemplateFolders();

// The first of `folders` holding a file called `name`, joined with it; empty when none does.
std::string FindTemplateIn(const std::string& name, const std::vector<std::string>& folders);

// The one message for templates found nowhere, naming them and every folder searched.
std::string MissingTemplatesMessage(const std::vector<std::string>& names,
                                    const std::vector<std::string>& folders);

struct ChosenTemplates {
    std::string hedderFile;
    std::string footerFile;
    std::string missingMessage;  // non-empty when a template looked for was found nowhere
};

// The templates of a run: a name given (the command line's --header and --footer) is kept; for an empty one
// the template is looked for in TemplateFolders(). One found nowhere is named beside the program, where the
// portable program expects it, and the message says where it was looked for.
ChosenTemplates ChooseTemplates(const std::string& hedderFile, const std::string& footerFile);
