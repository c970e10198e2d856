// The PascalScript grammar document: expressions and whole programs. The compiler reads the IL
// element names written by the add and node attributes below (expr, number, string, operator,
// designator, node, index, call, set, range, and the statement and declaration nodes).
#include "script/grammars/grammars.h"

namespace vl {

const StringView PascalScriptGrammar = uR"xml(<?xml version="1.0"?>
<language text="PascalScript">
  <parser>
    <commentline1 text="//"/>
    <commentblock1 text="{,}"/>
    <commentblock2 text="(*,*)"/>
    <stringquotes text="'"/>
    <hexsequence text="$"/>
    <specstrchar text="0"/>
    <casesensitive text="0"/>
    <declarevars text="1"/>
    <skipeol text="1"/>
    <keywords>
      <and/><array/><begin/><break/><case/><const/><continue/><div/><do/><downto/><else/>
      <end/><except/><exit/><finally/><for/><function/><goto/><if/><in/><is/><label/><mod/>
      <not/><of/><or/><procedure/><program/><repeat/><shl/><shr/><then/><to/><try/><until/>
      <uses/><var/><while/><with/><xor/>
    </keywords>
    <errors>
      <err1 text="Identifier expected"/>
      <err2 text="Expression expected"/>
      <err3 text="Statement expected"/>
      <err4 text="':' expected"/>
      <err5 text="';' expected"/>
      <err6 text="'.' expected"/>
      <err7 text="')' expected"/>
      <err8 text="']' expected"/>
      <err9 text="'=' expected"/>
      <err10 text="'BEGIN' expected"/>
      <err11 text="'END' expected"/>
      <err12 text="'OF' expected"/>
      <err13 text="'THEN' expected"/>
      <err14 text="'UNTIL' expected"/>
      <err15 text="'TO' or 'DOWNTO' expected"/>
      <err16 text="'DO' expected"/>
      <err17 text="'FINALLY' or 'EXCEPT' expected"/>
      <err18 text="'[' expected"/>
      <err19 text="'..' expected"/>
      <err20 text="'&gt;' expected"/>
    </errors>
  </parser>
  <types/>

  <program>
    <optional>
      <keyword text="program"/>
      <ident err="err1"/>
      <char text=";" err="err5"/>
    </optional>
    <optional><usesclause/></optional>
    <block/>
    <char text="." err="err6"/>
  </program>

  <usesclause node="uses">
    <keyword text="uses"/>
    <loop text="," err="err2"><string add="file"/></loop>
    <char text=";" err="err5"/>
  </usesclause>

  <block>
    <optionalloop><declsection/></optionalloop>
    <compoundstmt err="err10"/>
  </block>

  <declsection>
    <switch>
      <constsection/>
      <varsection/>
      <procdecl/>
      <funcdecl/>
    </switch>
  </declsection>

  <constsection>
    <keyword text="const"/>
    <loop err="err1"><constantdecl/></loop>
  </constsection>

  <constantdecl node="const">
    <ident add="name"/>
    <char text="=" err="err9"/>
    <expression err="err2"/>
    <char text=";" err="err5"/>
  </constantdecl>

  <varsection>
    <keyword text="var"/>
    <loop err="err1">
      <sequence><varlist/><char text=";" err="err5"/></sequence>
    </loop>
  </varsection>

  <varlist node="var">
    <loop text=","><ident add="name"/></loop>
    <char text=":" err="err4"/>
    <typeident err="err1"/>
    <optional>
      <char text="="/>
      <expression node="init" err="err2"/>
    </optional>
  </varlist>

  <typeident>
    <optional>
      <keyword text="array" add="array"/>
      <optional>
        <char text="["/>
        <loop text=","><arraydim/></loop>
        <char text="]" err="err8"/>
      </optional>
      <keyword text="of" err="err12"/>
    </optional>
    <ident add="type"/>
  </typeident>

  <arraydim node="dim">
    <expression err="err2"/>
    <optional>
      <char text="."/><char text="." skip="0"/>
      <expression err="err2"/>
    </optional>
  </arraydim>

  <procdecl node="procedure">
    <keyword text="procedure"/>
    <ident add="name" err="err1"/>
    <optional><formalparameters/></optional>
    <char text=";" err="err5"/>
    <block/>
    <char text=";" err="err5"/>
  </procdecl>

  <funcdecl node="function">
    <keyword text="function"/>
    <ident add="name" err="err1"/>
    <optional><formalparameters/></optional>
    <char text=":" err="err4"/>
    <ident add="result" err="err1"/>
    <char text=";" err="err5"/>
    <block/>
    <char text=";" err="err5"/>
  </funcdecl>

  <formalparameters node="params">
    <char text="("/>
    <optional><loop text=";"><formalparam/></loop></optional>
    <char text=")" err="err7"/>
  </formalparameters>

  <formalparam node="param">
    <optionalswitch>
      <keyword text="var" add="byref"/>
      <keyword text="const"/>
    </optionalswitch>
    <varlist/>
  </formalparam>

  <compoundstmt node="compound">
    <keyword text="begin"/>
    <stmtlist/>
    <keyword text="end" err="err11"/>
  </compoundstmt>

  <stmtlist>
    <loop text=";"><statement/></loop>
  </stmtlist>

  <statement>
    <optionalswitch>
      <keyword text="break" add="break"/>
      <keyword text="continue" add="continue"/>
      <keyword text="exit" add="exit"/>
      <compoundstmt/>
      <ifstmt/>
      <casestmt/>
      <repeatstmt/>
      <whilestmt/>
      <forstmt/>
      <trystmt/>
      <withstmt/>
      <assignstmt/>
      <callstmt/>
    </optionalswitch>
  </statement>

  <assignstmt node="assign">
    <designator/>
    <char text=":"/><char text="=" skip="0"/>
    <expression err="err2"/>
  </assignstmt>

  <callstmt node="callstmt">
    <designator/>
  </callstmt>

  <ifstmt node="if">
    <keyword text="if"/>
    <expression err="err2"/>
    <keyword text="then" err="err13"/>
    <statement node="then"/>
    <optional>
      <keyword text="else"/>
      <statement node="else"/>
    </optional>
  </ifstmt>

  <casestmt node="case">
    <keyword text="case"/>
    <expression err="err2"/>
    <keyword text="of" err="err12"/>
    <loop text=";"><caseselector/></loop>
    <optional><char text=";"/></optional>
    <optional>
      <keyword text="else"/>
      <statement node="else"/>
    </optional>
    <optional><char text=";"/></optional>
    <keyword text="end" err="err11"/>
  </casestmt>

  <caseselector node="selector">
    <setconstructor node="set"/>
    <char text=":" err="err4"/>
    <statement node="body"/>
  </caseselector>

  <repeatstmt node="repeat">
    <keyword text="repeat"/>
    <stmtlist node="body"/>
    <keyword text="until" err="err14"/>
    <expression err="err2"/>
  </repeatstmt>

  <whilestmt node="while">
    <keyword text="while"/>
    <expression err="err2"/>
    <keyword text="do" err="err16"/>
    <statement node="body"/>
  </whilestmt>

  <forstmt node="for">
    <keyword text="for"/>
    <ident add="var" err="err1"/>
    <char text=":" err="err4"/>
    <char text="=" skip="0" err="err9"/>
    <expression err="err2"/>
    <switch err="err15">
      <keyword text="to" add="to"/>
      <keyword text="downto" add="downto"/>
    </switch>
    <expression err="err2"/>
    <keyword text="do" err="err16"/>
    <statement node="body"/>
  </forstmt>

  <trystmt node="try">
    <keyword text="try"/>
    <stmtlist node="body"/>
    <switch err="err17">
      <sequence node="finally"><keyword text="finally"/><stmtlist/></sequence>
      <sequence node="except"><keyword text="except"/><stmtlist/></sequence>
    </switch>
    <keyword text="end" err="err11"/>
  </trystmt>

  <withstmt node="with">
    <keyword text="with"/>
    <loop text=","><designator err="err1"/></loop>
    <keyword text="do" err="err16"/>
    <statement node="body"/>
  </withstmt>

  <expression node="expr">
    <simpleexpression/>
    <optionalloop>
      <relop/>
      <simpleexpression err="err2"/>
    </optionalloop>
  </expression>

  <simpleexpression>
    <optional><char text="-" add="operator" addtext="unminus"/></optional>
    <term/>
    <optionalloop>
      <addop/>
      <term err="err2"/>
    </optionalloop>
  </simpleexpression>

  <term>
    <factor/>
    <optionalloop>
      <mulop/>
      <factor err="err2"/>
    </optionalloop>
  </term>

  <factor>
    <switch>
      <designator/>
      <number add="number"/>
      <string add="string"/>
      <sequence>
        <char text="(" add="operator"/>
        <expression err="err2"/>
        <char text=")" add="operator" err="err7"/>
      </sequence>
      <sequence>
        <keyword text="not" add="operator"/>
        <factor err="err2"/>
      </sequence>
      <sequence node="set">
        <char text="["/>
        <optional><setconstructor/></optional>
        <char text="]" err="err8"/>
      </sequence>
      <sequence>
        <char text="&lt;"/>
        <vlstring add="vlstring"/>
        <char text="&gt;" err="err20"/>
      </sequence>
    </switch>
  </factor>

  <setconstructor>
    <loop text=","><setnode/></loop>
  </setconstructor>

  <setnode>
    <switch>
      <sequence node="range">
        <expression/>
        <char text="."/><char text="." skip="0"/>
        <expression err="err2"/>
      </sequence>
      <expression/>
    </switch>
  </setnode>

  <relop>
    <switch>
      <sequence add="operator" addtext="&gt;="><char text="&gt;"/><char text="=" skip="0"/></sequence>
      <sequence add="operator" addtext="&lt;&gt;"><char text="&lt;"/><char text="&gt;" skip="0"/></sequence>
      <sequence add="operator" addtext="&lt;="><char text="&lt;"/><char text="=" skip="0"/></sequence>
      <char text="&gt;" add="operator"/>
      <char text="&lt;" add="operator"/>
      <char text="=" add="operator"/>
      <keyword text="in" add="operator"/>
      <keyword text="is" add="operator"/>
    </switch>
  </relop>

  <addop>
    <switch>
      <char text="+" add="operator"/>
      <char text="-" add="operator"/>
      <keyword text="or" add="operator"/>
      <keyword text="xor" add="operator"/>
    </switch>
  </addop>

  <mulop>
    <switch>
      <char text="*" add="operator"/>
      <char text="/" add="operator"/>
      <keyword text="div" add="operator"/>
      <keyword text="mod" add="operator"/>
      <keyword text="and" add="operator"/>
      <keyword text="shl" add="operator"/>
      <keyword text="shr" add="operator"/>
    </switch>
  </mulop>

  <designator node="designator">
    <optional><char text="@" add="addr"/></optional>
    <ident add="node"/>
    <optionalloop>
      <switch>
        <sequence><char text="."/><anyident add="node"/></sequence>
        <sequence node="index">
          <char text="["/>
          <exprlist/>
          <char text="]" err="err8"/>
        </sequence>
        <sequence node="call">
          <char text="("/>
          <exprlist/>
          <char text=")" err="err7"/>
        </sequence>
      </switch>
    </optionalloop>
  </designator>

  <exprlist>
    <optional>
      <loop text=","><expression/></loop>
    </optional>
  </exprlist>
</language>
)xml";

} // namespace vl
