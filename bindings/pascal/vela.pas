{ vela.pas - the host interface of the motion-controller interpreter for
  Delphi and Free Pascal hosts.

  The library (I_VELA.DLL on Windows, libvela.so on Linux) exports four
  functions and sixteen variables under undecorated names. A host loads it
  at run time with VelaLaden, which resolves every export by name; the
  variables below are then pointers to the library's own variables, read
  and written in place (Befehl^, Programm^, V_WertVar^[1], ...).

  Calling order of a run:
    write the text into Programm^ (NUL-terminated, lines ended by #13);
    DelphiInit; set V_UsedLoops^[t] and V_UsedReturns^[t] to -1;
    Start := findFirstProgramm (nil: nothing to run); NextBefp^ := Start;
    FetchMarken(Start) must give 0; set isChecking^;
    then call execBefehl once per line and read its result and Befehl^.

  Layouts: the records follow the C layout with natural alignment, so the
  same declarations fit a 32-bit module (pointer fields 4 bytes,
  TLoopEintrag 8 bytes with its address at offset 4) and a 64-bit one
  (pointer fields 8 bytes, TLoopEintrag 16 bytes with its address at
  offset 8). Do not declare them packed.

  The functions use the C calling convention (cdecl).

  Windows modules: there are two, both named I_VELA.DLL with the same
  exports, one per word size, and a process loads only the one of its own:
  a 32-bit Delphi host (Win32 target) the 32-bit module (build-win/ of the
  build), a 64-bit host (Win64 target) the 64-bit module (build-win64/).
  Ship the matching one beside the host's .exe, where VelaLaden('') finds
  it, or pass its full path. The other word size's module does not load
  (Windows error 193, ERROR_BAD_EXE_FORMAT): VelaLaden returns False and
  VelaFehler says 'cannot load ...'. This unit compiles unchanged for both
  targets. }
unit vela;

{$IFDEF FPC}
  {$MODE DELPHI}
  {$PACKRECORDS C}
{$ELSE}
  {$ALIGN 8}
{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  VELA_BIBLIOTHEK = 'I_VELA.DLL';
{$ELSE}
  VELA_BIBLIOTHEK = 'libvela.so';
{$ENDIF}
  VELA_PROGRAMM_GROESSE = 6400; { bytes of the RAM program store }
  VELA_TASKS = 3;               { tasks 1..3 of the language, rows 0..2 }
  VELA_WERTVARS = 300;          { value variables V0..V299 }
  VELA_PUNKTVARS = 10;          { point variables P0..P9 }
  VELA_TEXTVARS = 10;           { text variables T0..T9 }
  VELA_TEXTLAENGE = 22;         { 21 characters and the NUL }
  VELA_MARKEN = 200;            { labels M0..M199 per task }
  VELA_STACKTIEFE = 10;         { return and loop entries per task }
  VELA_FEHLERCODES = 41;        { error codes 0..40 }

type
  { One entry of the return stack. }
  TReturnEintrag = record
    RueckAdresse: PAnsiChar; { start of the line after the calling J line }
    ProgStart: PAnsiChar;    { caller's program start, nil for a label call }
  end;

  { One entry of the loop stack. }
  TLoopEintrag = record
    Anzahl: SmallInt;        { remaining passes }
    Reserve: SmallInt;       { never written }
    StartAdresse: PAnsiChar; { in the loop-start line, behind its count }
  end;

  { A point variable or the taught position. }
  TPunktEintrag = record
    X: LongInt;
    Y: LongInt;
  end;

  TProgramm = array[0..VELA_PROGRAMM_GROESSE - 1] of AnsiChar;
  TWertVars = array[0..VELA_WERTVARS - 1] of LongInt;
  TPunktVars = array[0..VELA_PUNKTVARS - 1] of TPunktEintrag;
  TTextVars = array[0..VELA_TEXTVARS - 1, 0..VELA_TEXTLAENGE - 1] of AnsiChar;
  TMarken = array[0..VELA_TASKS - 1, 0..VELA_MARKEN - 1] of PAnsiChar;
  TReturnStapel = array[0..VELA_TASKS - 1, 0..VELA_STACKTIEFE - 1] of TReturnEintrag;
  TLoopStapel = array[0..VELA_TASKS - 1, 0..VELA_STACKTIEFE - 1] of TLoopEintrag;
  TStapelZeiger = array[0..VELA_TASKS - 1] of SmallInt;
  TFehlerTexte = array[0..VELA_FEHLERCODES - 1] of PAnsiChar;
  TDllVersion = array[0..8] of AnsiChar;

  PPAnsiChar = ^PAnsiChar;
  PProgramm = ^TProgramm;
  PWertVars = ^TWertVars;
  PPunktVars = ^TPunktVars;
  PPunktEintrag = ^TPunktEintrag;
  PTextVars = ^TTextVars;
  PMarken = ^TMarken;
  PReturnStapel = ^TReturnStapel;
  PLoopStapel = ^TLoopStapel;
  PStapelZeiger = ^TStapelZeiger;
  PFehlerTexte = ^TFehlerTexte;
  PDllVersion = ^TDllVersion;

  TExecBefehl = function: SmallInt; cdecl;
  TDelphiInit = procedure; cdecl;
  TFetchMarken = function(Start: PAnsiChar): SmallInt; cdecl;
  TFindFirstProgramm = function: PAnsiChar; cdecl;
  TVelaReset = procedure; cdecl;
  TVelaSetTestDatei = procedure(Pfad: PAnsiChar); cdecl;

var
  { The exported functions. }
  execBefehl: TExecBefehl;
  DelphiInit: TDelphiInit;
  FetchMarken: TFetchMarken;
  findFirstProgramm: TFindFirstProgramm;
  { Extensions: restore the load-time state; set the circle test-data
    file ('' switches it off, nil restores the default). }
  vela_reset: TVelaReset;
  vela_setTestDatei: TVelaSetTestDatei;

  { The exported variables, as pointers into the library. }
  Befehl: PSmallInt;          { code of the command form just executed }
  NextBefp: PPAnsiChar;       { text cursor }
  Programm: PProgramm;        { RAM program store }
  isChecking: PByte;          { non-zero: check mode }
  V_Handshake: PSmallInt;     { truth of the pending J condition }
  V_WertVar: PWertVars;
  V_PunktVar: PPunktVars;
  V_TextVar: PTextVars;
  V_xyTeached: PPunktEintrag;
  V_Marke: PMarken;
  V_ReturnAdr: PReturnStapel;
  V_UsedReturns: PStapelZeiger;
  V_Loop: PLoopStapel;
  V_UsedLoops: PStapelZeiger;
  FehlerTxt: PFehlerTexte;
  DllVersion: PDllVersion;

{ Loads the library (VELA_BIBLIOTHEK when Pfad is empty) and resolves every
  export. False when the library cannot be loaded or lacks a name; then
  VelaFehler says which, and nothing stays loaded. }
function VelaLaden(const Pfad: string = ''): Boolean;
{ Unloads the library; every pointer above becomes nil. }
procedure VelaEntladen;
{ Why the last VelaLaden failed, or ''. }
function VelaFehler: string;
{ Copies Text into the program store (cut to fit, always NUL-terminated;
  #10 line ends become #13) and follows the calling order up to
  FetchMarken. Returns the start of the first program, or nil when there is
  none; Code receives the result of FetchMarken (0 when there is no program). }
function VelaProgrammLaden(const Text: AnsiString; out Code: SmallInt): PAnsiChar;

implementation

uses
{$IFDEF FPC}
  dynlibs;
{$ELSE}
  Windows;
{$ENDIF}

var
{$IFDEF FPC}
  Modul: TLibHandle = NilHandle;
{$ELSE}
  Modul: HMODULE = 0;
{$ENDIF}
  LetzterFehler: string = '';

procedure Loesche;
begin
  execBefehl := nil; DelphiInit := nil; FetchMarken := nil;
  findFirstProgramm := nil; vela_reset := nil; vela_setTestDatei := nil;
  Befehl := nil; NextBefp := nil; Programm := nil; isChecking := nil;
  V_Handshake := nil; V_WertVar := nil; V_PunktVar := nil; V_TextVar := nil;
  V_xyTeached := nil; V_Marke := nil; V_ReturnAdr := nil;
  V_UsedReturns := nil; V_Loop := nil; V_UsedLoops := nil;
  FehlerTxt := nil; DllVersion := nil;
end;

procedure VelaEntladen;
begin
{$IFDEF FPC}
  if Modul <> NilHandle then UnloadLibrary(Modul);
  Modul := NilHandle;
{$ELSE}
  if Modul <> 0 then FreeLibrary(Modul);
  Modul := 0;
{$ENDIF}
  Loesche;
end;

function VelaFehler: string;
begin
  Result := LetzterFehler;
end;

function VelaLaden(const Pfad: string): Boolean;
var
  Name: string;
  Fehlt: string;

  function Hole(const Export: AnsiString): Pointer;
  begin
{$IFDEF FPC}
    Result := GetProcedureAddress(Modul, Export);
{$ELSE}
    Result := GetProcAddress(Modul, PAnsiChar(Export));
{$ENDIF}
    if (Result = nil) and (Fehlt = '') then Fehlt := string(Export);
  end;

begin
  VelaEntladen;
  Name := Pfad;
  if Name = '' then Name := VELA_BIBLIOTHEK;
{$IFDEF FPC}
  Modul := LoadLibrary(Name);
  if Modul = NilHandle then
{$ELSE}
  Modul := LoadLibrary(PChar(Name));
  if Modul = 0 then
{$ENDIF}
  begin
    LetzterFehler := 'cannot load ' + Name;
    Result := False;
    Exit;
  end;
  Fehlt := '';
  @execBefehl := Hole('execBefehl');
  @DelphiInit := Hole('DelphiInit');
  @FetchMarken := Hole('FetchMarken');
  @findFirstProgramm := Hole('findFirstProgramm');
  @vela_reset := Hole('vela_reset');
  @vela_setTestDatei := Hole('vela_setTestDatei');
  Befehl := Hole('Befehl');
  NextBefp := Hole('NextBefp');
  Programm := Hole('Programm');
  isChecking := Hole('isChecking');
  V_Handshake := Hole('V_Handshake');
  V_WertVar := Hole('V_WertVar');
  V_PunktVar := Hole('V_PunktVar');
  V_TextVar := Hole('V_TextVar');
  V_xyTeached := Hole('V_xyTeached');
  V_Marke := Hole('V_Marke');
  V_ReturnAdr := Hole('V_ReturnAdr');
  V_UsedReturns := Hole('V_UsedReturns');
  V_Loop := Hole('V_Loop');
  V_UsedLoops := Hole('V_UsedLoops');
  FehlerTxt := Hole('FehlerTxt');
  DllVersion := Hole('DllVersion');
  if Fehlt <> '' then
  begin
    LetzterFehler := Name + ' lacks the export ' + Fehlt;
    VelaEntladen;
    Result := False;
    Exit;
  end;
  LetzterFehler := '';
  Result := True;
end;

function VelaProgrammLaden(const Text: AnsiString; out Code: SmallInt): PAnsiChar;
var
  I, N, T: Integer;
begin
  FillChar(Programm^, SizeOf(TProgramm), 0);
  N := Length(Text);
  if N > VELA_PROGRAMM_GROESSE - 1 then N := VELA_PROGRAMM_GROESSE - 1;
  for I := 1 to N do
    if Text[I] = #10 then Programm^[I - 1] := #13
    else Programm^[I - 1] := Text[I];
  DelphiInit;
  for T := 0 to VELA_TASKS - 1 do
  begin
    V_UsedLoops^[T] := -1;
    V_UsedReturns^[T] := -1;
  end;
  Code := 0;
  Result := findFirstProgramm;
  if Result = nil then Exit;
  NextBefp^ := Result;
  Code := FetchMarken(Result);
end;

initialization
  Loesche;
finalization
  VelaEntladen;
end.
