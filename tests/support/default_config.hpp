// The settings file as the program writes it with every default.
#pragma once

namespace tevo::test {

inline constexpr const char* kDefaultConfigXml = "<?xml version=\"1.0\"?>\n"
                                                 "<config>\n"
                                                 "\t<device>\n"
                                                 "\t\t<port>0</port>\n"
                                                 "\t\t<baudrate>0</baudrate>\n"
                                                 "\t</device>\n"
                                                 "\t<navigation>\n"
                                                 "\t\t<minangle>5</minangle>\n"
                                                 "\t\t<minspeed>5</minspeed>\n"
                                                 "\t\t<viewpos>-1,-1</viewpos>\n"
                                                 "\t\t<mapposabs>-360,-360</mapposabs>\n"
                                                 "\t\t<viewto>0</viewto>\n"
                                                 "\t\t<scale>-1</scale>\n"
                                                 "\t\t<scaleuser>1</scaleuser>\n"
                                                 "\t\t<axy>0</axy>\n"
                                                 "\t\t<ayz>10</ayz>\n"
                                                 "\t\t<ayzuser>27</ayzuser>\n"
                                                 "\t</navigation>\n"
                                                 "</config>\n";

} // namespace tevo::test
