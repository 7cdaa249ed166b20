#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "pattern_base_options.h"
#include "patterns/game_index.h"
#include "patterns/wpb_list_editor.h"
#include "platform/text_codec.h"

namespace {

namespace fs = std::filesystem;

struct BasesOptions {
  mh::cli::PatternBaseOptions home;  // only --home is offered
  std::string title;
  std::string records;
  std::string name;
  bool makeDefault = false;
  int number = 0;
  bool deleteFiles = false;
};

// Why a change was refused, in words a user can act on.
std::string explain(mh::WpbEditStatus status, const mh::WpbListEditor& editor, const BasesOptions& o) {
  using S = mh::WpbEditStatus;
  switch (status) {
    case S::Ok: return "";
    case S::Unreadable: return editor.iniPath() + " exists but cannot be read; it was left as it is";
    case S::CannotWrite: return "cannot write " + editor.iniPath() + "; it was left as it was";
    case S::BadTitle:
      return "the title must not be empty, must fit in " + std::to_string(mh::WpbListEditor::kMaxValueBytes) +
             " bytes and must be one line";
    case S::BadFolder: return "the record folder's path is too long or holds a line break: " + o.records;
    case S::NoSuchFolder: return "the record folder does not exist: " + o.records;
    case S::NoRecords: return "the record folder holds no game record (.sgf or .gib file): " + o.records;
    case S::BadFileName:
      return "'" + o.name + "' cannot be a file name: use up to " + std::to_string(mh::WpbListEditor::kMaxFileNameBytes) +
             " bytes without '/', line breaks or blanks at either end";
    case S::FileNameTaken: return "another pattern base already has the file name '" + o.name + "'";
    case S::NoSuchBase:
      return "no pattern base " + std::to_string(o.number) + " (the list holds " +
             std::to_string(editor.bases().size()) + "; see 'moonhaven-cli bases list')";
    case S::FilesNotDeleted: return "some of the pattern base's files could not be deleted";
  }
  return "";
}

// The title in the interface language, else the first one given, as UTF-8.
std::string titleOf(const mh::WpbSettings& base, int language) {
  std::string gb = base.titles[static_cast<size_t>(language)];
  for (const std::string& t : base.titles)
    if (gb.empty()) gb = t;
  return mh::text::gbToUtf8(gb);
}

// "not built", or the number of games of its game-record index.
std::string stateOf(const std::string& home, const mh::WpbSettings& base) {
  mh::GameIndex index;
  if (!index.read(home + base.fileName + ".idx", base.sgfPath)) return "not built";
  return std::to_string(index.count()) + " games";
}

int runList(const BasesOptions& o) {
  const std::string home = o.home.directory();
  mh::WpbListEditor editor(home);
  if (editor.load() != mh::WpbEditStatus::Ok) {
    std::fprintf(stderr, "bases list: %s\n", explain(mh::WpbEditStatus::Unreadable, editor, o).c_str());
    return 1;
  }
  if (editor.bases().empty()) std::fprintf(stderr, "bases list: %s lists no pattern base\n", editor.iniPath().c_str());
  const int language = mh::cli::titleLanguage(home);
  for (size_t i = 0; i < editor.bases().size(); ++i) {
    const mh::WpbSettings& base = editor.bases()[i];
    std::printf("%zu%s\t%s\t%s\t%s\t%s\n", i, static_cast<int>(i) == editor.defaultNumber() ? "*" : "",
                titleOf(base, language).c_str(), base.fileName.c_str(), mh::text::fileNameToUtf8(base.sgfPath).c_str(),
                stateOf(home, base).c_str());
  }
  return 0;
}

int runAdd(BasesOptions o) {
  mh::WpbListEditor editor(o.home.directory());
  mh::WpbEditStatus status = editor.load();
  std::error_code ec;
  const fs::path folder = fs::absolute(o.records, ec);
  const std::string title = mh::text::utf8ToGb(o.title);
  if (o.name.empty()) o.name = editor.proposeFileName(title);
  if (status == mh::WpbEditStatus::Ok)
    status = editor.add({title, ec ? o.records : folder.lexically_normal().string(), o.name, o.makeDefault});
  if (status != mh::WpbEditStatus::Ok) {
    std::fprintf(stderr, "bases add: %s\n", explain(status, editor, o).c_str());
    return 1;
  }
  const int n = static_cast<int>(editor.bases().size()) - 1;
  std::printf("added pattern base %d: %s (files %s.*)%s\n", n, o.title.c_str(), o.name.c_str(),
              editor.defaultNumber() == n ? ", the default" : "");
  std::printf("build it with: moonhaven-cli build --base %d%s\n", n,
              o.home.home.empty() ? "" : (" --home '" + o.home.home + "'").c_str());
  return 0;
}

int runRemove(const BasesOptions& o) {
  const std::string home = o.home.directory();
  mh::WpbListEditor editor(home);
  mh::WpbEditStatus status = editor.load();
  const bool listed = o.number >= 0 && o.number < static_cast<int>(editor.bases().size());
  const mh::WpbSettings base = listed ? editor.bases()[static_cast<size_t>(o.number)] : mh::WpbSettings{};
  const size_t files = listed ? editor.filesOf(base.fileName).size() : 0;
  std::vector<std::string> kept;
  if (status == mh::WpbEditStatus::Ok) status = editor.remove(o.number, o.deleteFiles, &kept);
  if (status != mh::WpbEditStatus::Ok && status != mh::WpbEditStatus::FilesNotDeleted) {
    std::fprintf(stderr, "bases remove: %s\n", explain(status, editor, o).c_str());
    return 1;
  }
  std::printf("removed pattern base %d: %s\n", o.number, titleOf(base, mh::cli::titleLanguage(home)).c_str());
  if (o.deleteFiles) std::printf("deleted %zu files\n", files - std::min(files, kept.size()));
  for (const std::string& file : kept) std::fprintf(stderr, "bases remove: kept %s\n", file.c_str());
  return kept.empty() ? 0 : 1;
}

mh::cli::CommandRegistrar reg{
    {"bases", "list, add or remove the pattern bases of WPBs.ini", [](CLI::App& command) {
       auto o = std::make_shared<BasesOptions>();
       command.require_subcommand(1);
       auto homeOption = [o](CLI::App* sub) {
         sub->add_option("--home", o->home.home, "the program's directory holding WPBs.ini (default: the program's)")
             ->type_name("DIR");
       };
       CLI::App* list = command.add_subcommand("list", "list the pattern bases: number (* the default), title, "
                                                       "file name, record folder, games indexed");
       homeOption(list);
       CLI::App* add = command.add_subcommand("add", "add a pattern base for a folder of SGF/GIB records");
       homeOption(add);
       add->add_option("--title", o->title, "its title, shown in every language")->required();
       add->add_option("--records", o->records, "the folder of game records (searched with its subfolders)")
           ->required()
           ->type_name("DIR");
       add->add_option("--name", o->name, "the base name of its files (default: made from the title)")->type_name("N");
       add->add_flag("--default", o->makeDefault, "make it the default pattern base (the first one added is)");
       CLI::App* remove = command.add_subcommand("remove", "remove a pattern base from the list");
       homeOption(remove);
       remove->add_option("number", o->number, "its number in 'bases list'")->required()->type_name("N");
       remove->add_flag("--delete-files", o->deleteFiles, "also delete its index and library files");
       return [o, list, add](const mh::cli::CommandContext&) {
         if (list->parsed()) return runList(*o);
         if (add->parsed()) return runAdd(*o);
         return runRemove(*o);
       };
     }}};

}  // namespace
