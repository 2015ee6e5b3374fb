// Shared vectors for the wildcard matcher: name, pattern and whether they
// match. The Windows tests also check them against the shell's own matcher.
// Only ASCII is used here so that the answers do not depend on the code page;
// ';' and leading blanks are left out because callers split pattern lists
// themselves and never pass them to the matcher.
#ifndef VELLORA_TESTS_PLATFORM_WILDCARD_VECTORS_H_
#define VELLORA_TESTS_PLATFORM_WILDCARD_VECTORS_H_

struct WildcardVector {
  const char* name;
  const char* pattern;
  bool match;
};

inline const WildcardVector kWildcardVectors[] = {
    // "*.*" is every name, with or without a dot, even the empty one.
    {"a.txt", "*.*", true},
    {"abc", "*.*", true},
    {".profile", "*.*", true},
    {"a.b.c", "*.*", true},
    {"", "*.*", true},
    {"abc.", "*.*", true},
    // A plain '*' is every name too.
    {"abc", "*", true},
    {"a.b", "*", true},
    {"", "*", true},
    {"", "**", true},
    // Extensions: no short-name side effects, ".htm" is not ".html".
    {"a.htm", "*.htm", true},
    {"A.HTM", "*.htm", true},
    {"a.html", "*.htm", false},
    {"a.html", "*.htm*", true},
    {"a.htm", "*.htm*", true},
    {"a.htm", "*.ht?", true},
    {"a.html", "*.ht?", false},
    {"a.ht", "*.ht?", false},
    {"htm", "*.htm", false},
    {".htm", "*.htm", true},
    // Multiple dots: '*' runs over dots.
    {"a.tar.gz", "*.gz", true},
    {"a.tar.gz", "*.tar", false},
    {"a.tar.gz", "*.tar.*", true},
    {"a.tar.gz", "a.*", true},
    {"a.b.c", "*.b", false},
    {"a.b.c", "*.*.*", true},
    {"abc", "*.*.*", false},  // only the whole pattern "*.*" is special
    {"abc", "a*.*", false},
    {"abc.txt", "a*.*", true},
    // "*." needs a trailing dot; names without a dot do not match.
    {"abc", "*.", false},  // unlike find-first-file
    {"abc.", "*.", true},
    {"a.b", "*.", false},
    // '?' is exactly one character, also at the end and over a dot.
    {"a", "a?", false},
    {"ab", "a?", true},
    {"abc", "a?", false},
    {"a.b", "a?b", true},
    {"ab", "a?b", false},
    {"a.txt", "?.txt", true},
    {"ab.txt", "?.txt", false},
    {".txt", "?.txt", false},
    {"", "?", false},
    {"a", "?", true},
    {"abc", "???", true},
    {"abcd", "???", false},
    {"", "*?*", false},
    {"x", "*?*", true},
    {"abc", "??*", true},
    {"a", "??*", false},
    // Letter case is ignored.
    {"README", "readme", true},
    {"readme", "README", true},
    {"ReadMe.TXT", "r?adm*.t*", true},
    {"a.txt", "*.TXT", true},
    {"Index.HTML", "index.html", true},
    // Exact names and trailing '*'.
    {"abc", "abc", true},
    {"abc", "abd", false},
    {"abc", "ab", false},
    {"ab", "abc", false},
    {"abc", "abc*", true},
    {"abc", "abc**", true},
    {"abc", "*abc", true},
    {"xabc", "*abc", true},
    {"abcx", "*abc", false},
    {"abc", "a*c", true},
    {"ac", "a*c", true},
    {"abcb", "a*c", false},
    {"abcbc", "a*c", true},
    {"ab", "a**b", true},
    {"axyb", "a*?b", true},
    {"ab", "a*?b", false},
    // The empty pattern matches nothing.
    {"", "", false},
    {"abc", "", false},
    // Characters other than '*' and '?' are literal.
    {"[a].txt", "[a].txt", true},
    {"a.txt", "[a].txt", false},
    {"b.txt", "[ab].txt", false},
    {"a+b", "a+b", true},
    {"a b.txt", "a b.txt", true},
    {"a_b.txt", "a b.txt", false},
    {"a(1).txt", "a(?).txt", true},
    {"~$doc", "~$*", true},
    {"a^b", "a^b", true},
    {"100%", "100%", true},
    {"a{b}", "a{b}", true},
    {"a\\b", "a\\b", true},
    // Backtracking cases that must stay fast.
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*b", false},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*b", true},
    {"abababababababababab", "*ab*ab*ab*ba", false},
    {"mississippi", "m*iss*ppi", true},
    {"mississippi", "m*iss*iss*ppi", true},
    {"mississippi", "m*iss*iss*iss*ppi", false},
    {"index.html", "index.html*", true},
    {"index.html.bak", "*.html", false},
};

#endif  // VELLORA_TESTS_PLATFORM_WILDCARD_VECTORS_H_
