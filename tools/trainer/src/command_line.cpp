#include "trainer/command_line.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/fatal_error.hpp"

namespace trainer {

std::optional<std::string> Option_Values::Get(std::string_view name) const {
  const auto found = values_.find(name);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

std::string Option_Values::Required(std::string_view name) const { return Get(name).value_or(""); }

double Option_Values::Number(std::string_view name, double fallback, double low, double high) const {
  const std::optional<std::string> text = Get(name);
  if (!text) return fallback;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text->c_str(), &end);
  const std::string option(name);
  if (text->empty() || *end != '\0' || errno != 0 || !(value >= low && value <= high))
    common::Fail(common::kLineEnd, "--%s: '%s' is not a number from %g to %g", option.c_str(), text->c_str(), low,
                 high);
  return value;
}

unsigned long long Option_Values::Seed(std::string_view name, unsigned long long fallback) const {
  const std::optional<std::string> text = Get(name);
  if (!text) return fallback;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text->c_str(), &end, 10);
  const std::string option(name);
  if (text->empty() || *end != '\0' || errno != 0 || text->find_first_not_of("0123456789") != std::string::npos)
    common::Fail(common::kLineEnd, "--%s: '%s' is not an unsigned integer", option.c_str(), text->c_str());
  return value;
}

std::string Subcommand_Usage(std::string_view subcommand, std::string_view summary,
                             std::span<const Option_Spec> specs) {
  std::string text = "usage: addestra ";
  text += subcommand;
  for (const Option_Spec& spec : specs) {
    text += spec.required ? " --" : " [--";
    text += spec.name;
    text += ' ';
    text += spec.value;
    if (!spec.required) text += ']';
  }
  text += "\n  ";
  text += summary;
  text += '\n';
  for (const Option_Spec& spec : specs) {
    std::string left = "  --" + std::string(spec.name) + " " + std::string(spec.value);
    left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
    text += left;
    text += spec.help;
    text += '\n';
  }
  return text;
}

Option_Values Parse_Options(std::string_view subcommand, std::span<const std::string> args,
                            std::span<const Option_Spec> specs) {
  const std::string command(subcommand);
  Option_Values values;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string& arg = args[i];
    const auto spec = std::find_if(specs.begin(), specs.end(),
                                   [&](const Option_Spec& s) { return arg.size() > 2 && arg.substr(2) == s.name; });
    if (arg.rfind("--", 0) != 0 || spec == specs.end())
      common::Fail(common::kLineEnd, "addestra %s: unknown option '%s' (see addestra %s --help)", command.c_str(),
                   arg.c_str(), command.c_str());
    if (i + 1 >= args.size())
      common::Fail(common::kLineEnd, "addestra %s: %s needs a value", command.c_str(), arg.c_str());
    if (!values.values_.emplace(std::string(spec->name), args[i + 1]).second)
      common::Fail(common::kLineEnd, "addestra %s: %s is given twice", command.c_str(), arg.c_str());
  }
  for (const Option_Spec& spec : specs) {
    const std::string name(spec.name);
    if (spec.required && !values.Get(spec.name))
      common::Fail(common::kLineEnd, "addestra %s: --%s is required (see addestra %s --help)", command.c_str(),
                   name.c_str(), command.c_str());
  }
  return values;
}

}  // namespace trainer
