// The subcommands' options: "--name VALUE" pairs, checked against a table of
// the options each subcommand takes, before anything is read or written.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trainer {

struct Option_Spec {
  std::string_view name;   // without the dashes
  std::string_view value;  // the value's name in the usage text
  std::string_view help;
  bool required = false;
};

class Option_Values {
 public:
  std::optional<std::string> Get(std::string_view name) const;
  std::string Required(std::string_view name) const;  // present: checked by Parse_Options
  // A number within [low, high]; `fallback` when the option is absent.
  double Number(std::string_view name, double fallback, double low, double high) const;
  // A whole number within [low, high]; `fallback` when the option is absent.
  unsigned long long Whole(std::string_view name, unsigned long long fallback, unsigned long long low,
                           unsigned long long high) const;
  unsigned long long Seed(std::string_view name, unsigned long long fallback) const;

 private:
  friend Option_Values Parse_Options(std::string_view, std::span<const std::string>, std::span<const Option_Spec>);
  std::map<std::string, std::string, std::less<>> values_;
};

// The usage text of one subcommand: its synopsis and one line per option.
std::string Subcommand_Usage(std::string_view subcommand, std::string_view summary, std::span<const Option_Spec> specs);

// An unknown option, a missing value, a repeated or missing required option
// throws Fatal_Error.
Option_Values Parse_Options(std::string_view subcommand, std::span<const std::string> args,
                            std::span<const Option_Spec> specs);

}  // namespace trainer
