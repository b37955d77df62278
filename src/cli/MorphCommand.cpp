// dtmorph morph OP INPUT OUTPUT --shape S --size N: dilation, erosion, opening or closing by
// thresholding distance maps, with a circle, diamond, square or triangle of radius N.
#include <climits>
#include <map>
#include <memory>

#include "cli/CliSupport.h"
#include "cli/ShapeOptions.h"

namespace dt::cli {

namespace {

struct MorphArguments {
  std::string operation;
  std::string input;
  std::string output;
  std::string shape;
  int size = 0;
  Apex apex;
  TimingOptions timing;  // times the operation alone
};

// Erosion, opening and closing report their own seconds in a message meant for the desktop;
// the batch tool reports its time as time_ms instead, so that message is left out here.
class WithoutOwnTimeReport final : public MessageService {
 public:
  WithoutOwnTimeReport() : previous_(CurrentServices()) {
    Services quiet = previous_;
    quiet.messages = this;
    InstallServices(quiet);
  }
  ~WithoutOwnTimeReport() override { InstallServices(previous_); }
  MessageResult Show(const std::string& text, const std::string& caption, MessageButtons buttons,
                     MessageOwner owner) override {
    static const std::string tookSeconds = "秒かかりました";
    const bool ownTimeReport =
        caption == appTitle && text.size() >= tookSeconds.size() &&
        text.compare(text.size() - tookSeconds.size(), tookSeconds.size(), tookSeconds) == 0;
    if (ownTimeReport || previous_.messages == nullptr) return MessageResult::Ok;
    return previous_.messages->Show(text, caption, buttons, owner);
  }

 private:
  Services previous_;
};

Command DefineMorph(CLI::App& dtmorph) {
  struct Operation {
    int32_t processKind;
    int featureValue;  // as the desktop command passes it
  };
  static const std::map<std::string, Operation> operations = {
      {"dilate", {process_kind::dilation, 1}},
      {"erode", {process_kind::erosion, 0}},
      {"open", {process_kind::opening, 0}},
      {"close", {process_kind::closing, 1}}};
  static const std::map<std::string, int32_t> shapes = {
      {"circle", distance_function::euclid},
      {"diamond", distance_function::cityBlock},
      {"square", distance_function::chessboard},
      {"triangle", distance_function::triangle}};

  auto args = std::make_shared<MorphArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "morph", "dilate, erode, open or close INPUT with a circle, diamond, square or triangle "
               "filter, by thresholding distance transforms; write OUTPUT");
  command->add_option("OP", args->operation, "dilate, erode, open or close")
      ->required()
      ->check(CLI::IsMember({"dilate", "erode", "open", "close"}));
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  command->add_option("--shape", args->shape, "circle, diamond, square or triangle")
      ->required()
      ->check(CLI::IsMember({"circle", "diamond", "square", "triangle"}));
  command
      ->add_option("--size", args->size,
                   "filter size from 0 to 2147483647 (the circle's radius; 0 changes nothing)")
      ->required()
      ->check(CLI::Range(0, INT_MAX));
  AddApexOption(command, args->apex);
  AddTimingOptions(command, args->timing);

  return {command, [args] {
            ImageEngine engine;
            if (!LoadInput(engine, args->input)) return exitFailure;
            const Operation operation = operations.at(args->operation);
            engine.processKind = operation.processKind;
            ConfigureShape(engine, shapes.at(args->shape), args->apex);
            engine.filterSize = args->size;
            engine.measureTime = 1;
            const InputSnapshot original;
            WithoutOwnTimeReport quiet;
            RunTimed(
                args->timing, [&] { original.Restore(engine); },
                [&] {
                  NullSurface nowhere;
                  const DrawingTargets targets{&nowhere, &nowhere};
                  const int f = operation.featureValue;
                  switch (operation.processKind) {
                    case process_kind::dilation:
                      engine.DilateByDistance(targets, f, args->size);
                      break;
                    case process_kind::erosion: engine.ErodeByDistance(targets, f, args->size); break;
                    case process_kind::opening: engine.OpenByDistance(targets, f, args->size); break;
                    default: engine.CloseByDistance(targets, f, args->size); break;
                  }
                });
            return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration registration{40, DefineMorph};

}  // namespace

}  // namespace dt::cli
