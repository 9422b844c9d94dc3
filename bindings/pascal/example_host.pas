{ example_host - a Free Pascal host of the interpreter: loads the library
  at run time through the vela unit, runs a short program in the host
  calling order and checks what a host observes. Prints
  "N passed, N failed"; the exit code is 1 when a check failed.

    example_host [path of libvela.so or I_VELA.DLL] }
program example_host;

{$MODE DELPHI}

uses
  strings, vela;

var
  Bestanden: Integer = 0;
  Fehlgeschlagen: Integer = 0;

procedure Pruefe(Bedingung: Boolean; const Was: string);
begin
  if Bedingung then
    Inc(Bestanden)
  else
  begin
    Inc(Fehlgeschlagen);
    WriteLn(StdErr, 'check failed: ', Was);
  end;
end;

procedure PruefeLayouts;
begin
  { The layouts that the library's C declarations give. }
  Pruefe(SizeOf(TReturnEintrag) = 2 * SizeOf(Pointer), 'size of TReturnEintrag');
  Pruefe(SizeOf(TLoopEintrag) = 2 * SizeOf(Pointer), 'size of TLoopEintrag');
  Pruefe(PtrUInt(@TLoopEintrag(nil^).StartAdresse) = SizeOf(Pointer),
    'offset of TLoopEintrag.StartAdresse');
  Pruefe(SizeOf(TPunktEintrag) = 8, 'size of TPunktEintrag');
  Pruefe(SizeOf(TTextVars) = 220, 'size of TTextVars');
  Pruefe(SizeOf(TMarken) = 600 * SizeOf(Pointer), 'size of TMarken');
end;

procedure PruefeLauf;
var
  Start, Zeile: PAnsiChar;
  Code: SmallInt;
  I, Gesetzt: Integer;
begin
  vela_reset;
  vela_setTestDatei('');
  Pruefe(StrComp(PAnsiChar(DllVersion), '12-12-02') = 0, 'DllVersion');
  Pruefe(StrComp(FehlerTxt^[19], 'falscher Befehl') = 0, 'FehlerTxt[19]');
  Pruefe(StrComp(FehlerTxt^[28], 'Division durch 0') = 0, 'FehlerTxt[28]');

  Start := VelaProgrammLaden('V1=-7%2'#10'V2=2^3^2'#10'V3=(V4=3)+1'#10 +
    'V299=V1+V2*2'#10'V5=2147483647+1'#10'V6=5/0'#10, Code);
  Pruefe(Start = @Programm^[0], 'findFirstProgramm gives the store start');
  Pruefe(NextBefp^ = Start, 'cursor at the program start');
  Pruefe(Code = 0, 'FetchMarken');
  isChecking^ := 0;
  for I := 1 to 5 do
  begin
    Pruefe(execBefehl = 0, 'V line executes');
    Pruefe(Befehl^ = 59, 'Befehl 59 after a V line');
  end;
  Pruefe(V_WertVar^[1] = -1, 'V1=-7%2');
  Pruefe(V_WertVar^[2] = 512, 'V2=2^3^2');
  Pruefe((V_WertVar^[3] = 4) and (V_WertVar^[4] = 3), 'assignment inside brackets');
  Pruefe(V_WertVar^[299] = 1023, 'V299');
  Pruefe(V_WertVar^[5] = Low(LongInt), '32-bit wrap');

  Zeile := StrPos(PAnsiChar(Programm), 'V6=');
  Pruefe(execBefehl = 28, 'division by zero');
  Pruefe(NextBefp^ = Zeile, 'cursor stays at the failing line');
  Pruefe((V_UsedLoops^[0] = -1) and (V_UsedReturns^[0] = -1), 'stacks stay empty');
  Gesetzt := 0;
  for I := 0 to VELA_MARKEN - 1 do
    if V_Marke^[0, I] <> nil then Inc(Gesetzt);
  Pruefe(Gesetzt = 0, 'no labels');

  { The end of the text: 19 on every call, the cursor stays on the NUL. }
  Start := VelaProgrammLaden('V7=1'#10, Code);
  Pruefe(execBefehl = 0, 'V7=1');
  Pruefe(execBefehl = 19, 'end of the text');
  Pruefe(NextBefp^ = @Programm^[5], 'cursor on the NUL');
  Pruefe(execBefehl = 19, 'end of the text again');
  Pruefe(NextBefp^ = @Programm^[5], 'cursor still on the NUL');

  { Check mode evaluates V lines as a run does. }
  VelaProgrammLaden('V8=6*7'#10, Code);
  isChecking^ := 1;
  Pruefe(execBefehl = 0, 'V8 in check mode');
  Pruefe(V_WertVar^[8] = 42, 'V8=6*7');
  isChecking^ := 0;

  Pruefe(VelaProgrammLaden('', Code) = nil, 'empty store has no program');

  vela_reset;
  Pruefe((V_WertVar^[1] = 0) and (Programm^[0] = #0), 'vela_reset');
end;

begin
  PruefeLayouts;
  if VelaLaden(ParamStr(1)) then
  begin
    PruefeLauf;
    VelaEntladen;
    Pruefe(Befehl = nil, 'pointers cleared after unloading');
  end
  else
    Pruefe(False, VelaFehler);
  WriteLn(Bestanden, ' passed, ', Fehlgeschlagen, ' failed');
  if Fehlgeschlagen <> 0 then Halt(1);
end.
