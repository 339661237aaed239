#include "lv2/Lv2Turtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lv2/IEffectLV2.h"
#include "lv2/Lv2PluginFactory.h"

namespace {

constexpr const char* kPrefixes =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprop: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// The units hosts know, by the parameter's label.
struct UnitOfLabel {
  const char* label;
  const char* unit;
};
constexpr UnitOfLabel kUnits[] = {{"Hz", "units:hz"},  {"kHz", "units:khz"}, {"%", "units:pc"},
                                  {"dB", "units:db"},  {"ms", "units:ms"},   {"s", "units:s"},
                                  {"ct", "units:cent"}};

const char* UnitFor(const char* label) {
  for (const UnitOfLabel& u : kUnits) {
    if (std::strcmp(u.label, label) == 0) return u.unit;
  }
  return nullptr;
}

std::string Iri(const std::string& iri) { return "<" + iri + ">"; }

std::string Literal(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

// A decimal literal (hosts read it as a float, an integer literal they might
// not): whole numbers with one decimal, others in the shortest text that
// reads back as the same double.
std::string Number(double v) {
  char text[40];
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
  }
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  return text;
}

std::string PresetIri(const Lv2PluginInfo& info, int32_t slot) {
  return Iri(std::string(info.uri) + "#program" + std::to_string(slot));
}

// A port symbol from a name: lower case, every run of other characters one
// underscore, never starting with a digit ("Split Freq" gives "split_freq").
std::string PortSymbol(const std::string& name) {
  std::string symbol;
  bool gap = false;
  for (const char* c = name.c_str(); *c; ++c) {
    const auto u = static_cast<unsigned char>(*c);
    if (std::isalnum(u) && u < 0x80) {
      if (gap && !symbol.empty()) symbol += '_';
      if (symbol.empty() && std::isdigit(u)) symbol += '_';
      symbol += static_cast<char>(std::tolower(u));
      gap = false;
    } else {
      gap = true;
    }
  }
  return symbol.empty() ? "_" : symbol;
}

// Stereo channels are L and R, others numbered from 1.
std::string AudioPort(uint32_t index, bool input, uint32_t channel, uint32_t channels) {
  const std::string name =
      std::string(input ? "In " : "Out ") +
      (channels == 2 ? (channel == 0 ? "L" : "R") : std::to_string(channel + 1));
  return "[\n    a lv2:AudioPort , " + std::string(input ? "lv2:InputPort" : "lv2:OutputPort") +
         " ;\n    lv2:index " + std::to_string(index) + " ;\n    lv2:symbol \"" + PortSymbol(name) +
         "\" ;\n    lv2:name \"" + name + "\"\n  ]";
}

std::string ControlPort(uint32_t index, const IParameter& p) {
  std::string port = "[\n    a lv2:ControlPort , lv2:InputPort ;\n    lv2:index " +
                     std::to_string(index) + " ;\n    lv2:symbol \"" + PortSymbol(p.Name()) +
                     "\" ;\n    lv2:name " + Literal(p.Name()) + " ;\n    lv2:default " +
                     Number(p.value) + " ;\n    lv2:minimum " + Number(p.min) +
                     " ;\n    lv2:maximum " + Number(p.max);
  if (const char* unit = UnitFor(p.Label())) port += " ;\n    units:unit " + std::string(unit);
  std::string properties;
  if (p.kind != ParamKind::Continuous) properties += "lv2:integer";
  // Hosts know no power curves; a mapping skewed towards the low end is
  // closest to a logarithmic control.
  if (p.shape > 1.0)
    properties += std::string(properties.empty() ? "" : " , ") + "pprop:logarithmic";
  if (!properties.empty()) port += " ;\n    lv2:portProperty " + properties;
  return port + "\n  ]";
}

std::string PluginText(const IEffectLV2& plugin, const Lv2PluginInfo& info) {
  const int32_t version = plugin.VersionNumber(false);
  std::string text = kPrefixes;
  text += Iri(info.uri) + "\n  a lv2:Plugin , lv2:" + info.pluginClass + " , doap:Project ;\n";
  text += "  doap:name " + Literal(plugin.EffectName()) + " ;\n";
  text += "  doap:maintainer [ foaf:name " + Literal(plugin.MakerName()) + " ] ;\n";
  text += "  lv2:minorVersion " + std::to_string((version >> 8) & 0xFF) + " ;\n";
  text += "  lv2:microVersion " + std::to_string(version & 0xFF) + " ;\n";
  text += "  lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
  text += "  lv2:extensionData state:interface ;\n";
  text += "  lv2:port ";
  const uint32_t inputs = plugin.AudioInputPortCount();
  const uint32_t outputs = plugin.AudioOutputPortCount();
  for (uint32_t port = 0; port < plugin.PortCount(); ++port) {
    if (port > 0) text += " , ";
    if (port < inputs) {
      text += AudioPort(port, true, port, inputs);
    } else if (port < inputs + outputs) {
      text += AudioPort(port, false, port - inputs, outputs);
    } else {
      text += ControlPort(port, *plugin.ParameterAt(static_cast<int32_t>(port - inputs - outputs)));
    }
  }
  return text + " .\n";
}

// The slot's stored values, one per parameter, as the effect keeps them.
std::string PresetText(const IEffectLV2& plugin, const Lv2PluginInfo& info, int32_t slot) {
  const IPresetSlot& preset = *plugin.PresetAt(slot);
  std::string text = PresetIri(info, slot) + "\n  a pset:Preset ;\n  lv2:appliesTo " +
                     Iri(info.uri) + " ;\n  rdfs:label " + Literal(preset.name) + " ;\n  lv2:port ";
  int32_t position = 0;
  for (int32_t i = 0; i < plugin.ParameterCount(); ++i) {
    double v = 0.0;
    position = preset.chunk.ReadValue(position, v);
    if (position < 0) break;
    if (i > 0) text += " , ";
    text += "[ lv2:symbol \"" + PortSymbol(plugin.ParameterAt(i)->Name()) + "\" ; pset:value " +
            Number(v) + " ]";
  }
  return text + " .\n\n";
}

}  // namespace

Lv2BundleText DescribeLv2Bundle(const IEffectLV2& plugin, const Lv2PluginInfo& info,
                                const std::string& pluginFile, const std::string& binaryFile) {
  Lv2BundleText bundle;
  bundle.manifest = kPrefixes;
  bundle.manifest += Iri(info.uri) + "\n  a lv2:Plugin ;\n  lv2:binary " + Iri(binaryFile) +
                     " ;\n  rdfs:seeAlso " + Iri(pluginFile) + " .\n\n";
  bundle.plugin = PluginText(plugin, info);
  bundle.presets = kPrefixes;
  for (int32_t slot = 0; slot < plugin.PresetCount(); ++slot) {
    if (!plugin.PresetAt(slot)->initialized) continue;
    bundle.manifest += PresetIri(info, slot) + "\n  a pset:Preset ;\n  lv2:appliesTo " +
                       Iri(info.uri) + " ;\n  rdfs:seeAlso <presets.ttl> .\n\n";
    bundle.presets += PresetText(plugin, info, slot);
  }
  return bundle;
}
