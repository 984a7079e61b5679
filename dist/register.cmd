@echo off
rem Registers the Orvane control of this folder, each width by the
rem regsvr32 of its own width, in that width's view of the registry.
rem   register.cmd [user] [x86] [x64]
rem   user       for the current user only (no rights needed); without it, for every user (run as an administrator)
rem   x86, x64   only these widths. Without either: every width this Windows
rem              runs: x64 on 64-bit Windows, with x86 where it has its 32-bit
rem              part (SysWOW64); x86 alone on 32-bit Windows. A caller that knows
rem              the machine runs no 32-bit programs names x64 alone.
rem It says which widths it registered and which it left out.
setlocal
set "here=%~dp0"
set "scope="
set "want86="
set "want64="
:args
if "%~1"=="" goto args_done
if /i "%~1"=="user" goto arg_user
if /i "%~1"=="x86" goto arg_x86
if /i "%~1"=="x64" goto arg_x64
echo usage: register.cmd [user] [x86] [x64]
exit /b 2
:arg_user
set "scope=/n /i:user"
shift
goto args
:arg_x86
set "want86=1"
shift
goto args
:arg_x64
set "want64=1"
shift
goto args
:args_done
rem A 32-bit command prompt sees SysWOW64 as System32; Sysnative is the real one.
set "native=%SystemRoot%\System32"
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "native=%SystemRoot%\Sysnative"
rem 64-bit Windows says so to a prompt of either width; its 32-bit part
rem (SysWOW64) may have been left out of it.
set "os64="
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "os64=1"
if defined PROCESSOR_ARCHITEW6432 set "os64=1"
set "wow="
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "wow=1"
if defined want86 goto widths_done
if defined want64 goto widths_done
if defined os64 (set "want64=1") else set "want86=1"
if defined wow set "want86=1"
:widths_done
set "done="
set "left="
set failed=0
if defined want86 (call :one x86) else set "left= x86"
if defined want64 (call :one x64) else set "left=%left% x64"
if "%failed%"=="1" (
  echo Orvane: registration failed. For every user, run as an administrator.
  exit /b 1
)
echo Orvane: registered%done%.
if defined left echo Orvane: left out%left%.
exit /b 0

rem :one WIDTH: the module of that width, by the regsvr32 of that width.
:one
set "server="
if "%1"=="x86" if defined wow set "server=%SystemRoot%\SysWOW64\regsvr32.exe"
if "%1"=="x86" if not defined os64 set "server=%native%\regsvr32.exe"
if "%1"=="x64" if defined os64 set "server=%native%\regsvr32.exe"
if not defined server (
  if "%1"=="x64" echo Orvane: x64 needs 64-bit Windows.
  if "%1"=="x86" echo Orvane: x86 needs the 32-bit part of 64-bit Windows, SysWOW64.
  set failed=1
  goto :eof
)
rem The result is read on the line after the command: "if errorlevel" is
rem evaluated when it runs, in every cmd.
"%server%" /s %scope% "%here%%1\ORVANE.OCX"
if errorlevel 1 set failed=1
if not errorlevel 1 set "done=%done% %1"
goto :eof
