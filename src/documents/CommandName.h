#pragma once

#include <QLatin1StringView>
#include <QString>

// A main-window menu item, by the name the command table gives it. Only the constants in Cmd
// make one, so that a misspelt command is a compile error rather than a silent no-op.
class Command
{
public:
    constexpr explicit Command(const char *name) : m_name(name) {}
    constexpr const char *name() const { return m_name; }
    QString toString() const { return QString::fromLatin1(m_name); }
    operator QString() const { return toString(); }
    friend bool operator==(Command a, Command b) { return QLatin1StringView(a.m_name) == QLatin1StringView(b.m_name); }

private:
    const char *m_name;
};

// Every main-window menu item that runs something; separators are not commands.
#define ZEMLO_COMMANDS(X)                                                                         \
    X(m_mnew) X(m_mtemp) X(m_mopen) X(m_msave) X(m_msaas) X(m_mutf8) X(m_mclos) X(m_mrel)         \
    X(m_minf) X(m_mwin) X(m_mexit)                                                                \
    X(m_msite) X(m_mslnk) X(m_msfnd) X(m_msutf)                                                   \
    X(m_eund) X(m_etag) X(m_eime) X(m_efon) X(m_ecol) X(m_ezth)                                   \
    X(m_efind) X(m_enext) X(m_eprev) X(m_erepl) X(m_egoto)                                        \
    X(m_vtag) X(m_vtcl) X(m_vpre) X(m_vrpr) X(m_vb08) X(m_vb10) X(m_vtyui)                        \
    X(m_vchk)                                                                                     \
    X(m_nback) X(m_nnext) X(m_nstop) X(m_nrefr) X(m_nhome)                                        \
    X(m_wt) X(m_wy) X(m_wc) X(m_wclose)

namespace Cmd {
#define ZEMLO_COMMAND_CONSTANT(n) inline constexpr Command n{#n};
ZEMLO_COMMANDS(ZEMLO_COMMAND_CONSTANT)
#undef ZEMLO_COMMAND_CONSTANT

#define ZEMLO_COMMAND_ENTRY(n) n,
inline constexpr Command all[] = {ZEMLO_COMMANDS(ZEMLO_COMMAND_ENTRY)};
#undef ZEMLO_COMMAND_ENTRY
} // namespace Cmd
