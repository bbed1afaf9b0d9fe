#include "text/CDelimiters.h"

namespace tickwell {

CDelimiters::CDelimiters()
    : m_rows{
          {"HREF=\"", "\""},
          {"SRC=\"", "\""},
          {"HREF='", "'"},
          {"SRC='", "'"},
          {"SRC=", " "},
          {"background=\"", "\""},
          {"background='", "'"},
          {"option value=\"", "\"", false},
          {"option value='", "'", false},
          {"HREF=", ">"},
          {"SRC=", ">"},
          {"background=", ">"},
          {"HREF=", " "},
          {"SRC=", " "},
          {"background=", " "},
      }
{
}

} // namespace tickwell
